/* SPDX-License-Identifier: GPL-3.0-or-later */
// The map page: the host drives it with the WB_ calls and hears back through
// external.Write. Names never go into HTML: markers get them as titles, popups as
// text nodes.
"use strict";

var KX_CONFIG = window.KX_CONFIG || { tiles: [], texts: [] };
var T = KX_CONFIG.texts || [];
function text(i, def) { return T[i] !== undefined ? T[i] : def; }
if (!window.L) {
    // A map library beside the page that does not run (damaged or foreign).
    alert(text(23, "Sorry, the map library cannot run."));
    throw new Error("no map library");
}

var map = L.map("mapka", {
    center: [0, 0], zoom: 2, doubleClickZoom: false, keyboard: false, scrollWheelZoom: true,
    worldCopyJump: false
});
var controls = kxControls(map, KX_CONFIG, "physical");
// A tab switched in an info window changes its size.
var openPopup = null;
map.on("popupopen", function (e) { openPopup = e.popup; });
map.on("popupclose", function (e) { if (openPopup === e.popup) openPopup = null; });
document.addEventListener("kxtab", function () { if (openPopup) openPopup.update(); });
// A window with tabs is built as a node when it opens, so that the update above
// keeps the tab shown instead of building the window anew.
function bindTabbed(marker, make) {
    marker.bindPopup("");
    marker.on("popupopen", function (e) { e.popup.setContent(make()); });
}

// Anchors as offsets from the picture's top left; a shadow's anchor is where its
// picture has the tip of the pin.
function icon(url, w, h, ax, ay, px, py, shadow) {
    var o = { iconUrl: url, iconSize: [w, h], iconAnchor: [ax, ay], popupAnchor: [px - ax, py - ay] };
    if (shadow) { o.shadowUrl = shadow[0]; o.shadowSize = [shadow[1], shadow[2]]; o.shadowAnchor = [shadow[3], shadow[4]]; }
    return L.icon(o);
}
var bigShadow = ["POIa.png", 59, 32, 15, 31], wpShadow = ["mm_20_shadow.png", 22, 20, 6, 19];
var poiIcon = icon("POI.png", 32, 32, 13, 25, 16, 6, bigShadow);
var homeIcon = icon("Home.png", 32, 32, 15, 26, 15, 6, ["HomeA.png", 59, 32, 15, 31]);
var wpIcons = {
    red: icon("mm_20_red.png", 12, 20, 5, 20, 5, 6, wpShadow),
    green: icon("mm_20_green.png", 12, 20, 5, 20, 5, 6, wpShadow),
    white: icon("mm_20_white.png", 12, 20, 5, 20, 5, 6, wpShadow)
};
var icons = [poiIcon], currentIcon = 0;

function fixed6(x) { return Number(x).toFixed(6); }
function quoted(s) { return "\"" + String(s).replace(/"/g, "") + "\""; }

// ---- popups built from DOM nodes ----------------------------------------------------
function positionLine(lat, lng) {
    var p = el("div", "kx-pos");
    var img = el("img"); img.src = "POS.png"; img.width = 16; img.height = 16;
    p.appendChild(img);
    p.appendChild(el("b", null, " " + fixed6(lat) + ", " + fixed6(lng)));
    return p;
}
function zoomTo(lat, lng) { savePosition(false); map.setView([lat, lng], 15); }

// ---- POIs: typed arrays, a sorted grid index, drawn per screen cell -------------------
// Names stay in the blocks they came in: one string per bulk block with the end of
// each name, or a list for points added one call at a time.
var P = { n: 0, cap: 0, lat: null, lng: null, mx: null, my: null, icon: null, names: [], index: null, gen: 0 };
function grow(need) {
    var cap = Math.max(1024, P.cap * 2, need);
    function more(Type, old) { var a = new Type(cap); if (old) a.set(old.subarray(0, P.n)); return a; }
    P.lat = more(Float64Array, P.lat); P.lng = more(Float64Array, P.lng);
    P.mx = more(Float64Array, P.mx); P.my = more(Float64Array, P.my);
    P.icon = more(Uint16Array, P.icon);
    P.cap = cap;
}
function mercX(lng) { return (lng + 180) / 360; }
function mercY(lat) {
    var s = Math.sin(Math.max(-85.0511, Math.min(85.0511, lat)) * Math.PI / 180);
    return 0.5 - Math.log((1 + s) / (1 - s)) / (4 * Math.PI);
}
function putPoi(lat, lng) {
    var i = P.n++;
    P.lat[i] = lat; P.lng[i] = lng;
    P.mx[i] = mercX(lng); P.my[i] = mercY(lat);
    P.icon[i] = currentIcon;
    P.index = null;
}
function nameOf(i) {
    var b = P.names, lo = 0, hi = b.length - 1;
    while (lo < hi) {
        var mid = (lo + hi + 1) >> 1;
        if (b[mid].start <= i) lo = mid; else hi = mid - 1;
    }
    var k = b[lo], j = i - k.start;
    return k.list ? k.list[j] : k.text.substring(j ? k.ends[j - 1] : 0, k.ends[j]);
}

function WB_Icon(file) {
    icons.push(L.icon({ iconUrl: String(file), iconSize: [22, 22], iconAnchor: [11, 22], popupAnchor: [11, -22] }));
    currentIcon = icons.length - 1;
}
function WB_POI(lat, lng, name, redraw) {
    lat = Number(lat); lng = Number(lng);
    if (!isFinite(lat) || !isFinite(lng)) return;
    if (P.n === P.cap) grow(P.n + 1);
    var last = P.names[P.names.length - 1];
    if (!last || !last.list) P.names.push(last = { start: P.n, list: [] });
    last.list.push(String(name));
    putPoi(lat, lng);
    if (redraw) scheduleDraw();
}
function base64Bytes(b64) {
    var s = atob(b64), n = s.length, u = new Uint8Array(n);
    for (var i = 0; i < n; i++) u[i] = s.charCodeAt(i);
    return u.buffer;
}
// What a run of WB_POI calls does, for a long list in one go: `coords` holds latitude
// and longitude per point in 1/100000 degrees (Int32, the host's byte order, base64),
// `names` the names one after another and `ends` where each one ends.
var timing = { blocks: 0, decode: 0, index: 0 };
function WB_POIBlock(coords, names, ends) {
    var t0 = performance.now();
    var c = new Int32Array(base64Bytes(String(coords))), e = new Int32Array(base64Bytes(String(ends)));
    timing.decode += performance.now() - t0;
    var count = e.length;
    names = String(names);
    if (c.length !== 2 * count || (count > 0 && e[count - 1] !== names.length)) return;
    if (P.n + count > P.cap) grow(P.n + count);
    var at = P.n, lat = P.lat, lng = P.lng, mx = P.mx, my = P.my;
    P.names.push({ start: at, text: names, ends: e });
    for (var k = 0; k < count; k++, at++) {
        var a = c[2 * k] / 1e5, b = c[2 * k + 1] / 1e5;
        lat[at] = a; lng[at] = b; mx[at] = mercX(b); my[at] = mercY(a);
    }
    P.icon.fill(currentIcon, P.n, at);
    P.n = at;
    P.index = null;
    timing.blocks += performance.now() - t0;
}
function WB_POIRefresh() { currentIcon = 0; scheduleDraw(); }

// The index: every point's cell of a 2^16 x 2^16 grid over the world as a Z-order key,
// the points sorted by it, and running sums of their positions. A square of screen
// cells aligned to the world is then one run of keys, so a cluster's count and centre
// come from two binary searches, not from a visit of every point.
var LEVEL = 16, SIDE = 65536;
function spread(v) {
    v &= 0xffff;
    v = (v | (v << 8)) & 0x00ff00ff; v = (v | (v << 4)) & 0x0f0f0f0f;
    v = (v | (v << 2)) & 0x33333333; v = (v | (v << 1)) & 0x55555555;
    return v;
}
function zkey(x, y) { return (spread(x) | (spread(y) << 1)) >>> 0; }
function gridOf(v) { return Math.min(SIDE - 1, Math.max(0, Math.floor(v * SIDE))); }
function buildIndex() {
    var t0 = performance.now();
    var n = P.n, mx = P.mx, my = P.my, m = 0;
    var keys = new Uint32Array(n), ids = new Int32Array(n);
    for (var i = 0; i < n; i++) {
        // Removed points and points off the world's one copy are not drawn.
        if (!(mx[i] >= 0 && mx[i] <= 1 && my[i] >= 0 && my[i] <= 1)) continue;
        keys[m] = zkey(gridOf(mx[i]), gridOf(my[i]));
        ids[m++] = i;
    }
    // Two passes of a radix sort on 16 bits each.
    var k2 = new Uint32Array(m), i2 = new Int32Array(m), bucket = new Int32Array(65537);
    function pass(fromK, fromI, toK, toI, shift) {
        bucket.fill(0);
        for (var a = 0; a < m; a++) bucket[((fromK[a] >>> shift) & 0xffff) + 1]++;
        for (var b = 1; b <= 65536; b++) bucket[b] += bucket[b - 1];
        for (a = 0; a < m; a++) {
            var at = bucket[(fromK[a] >>> shift) & 0xffff]++;
            toK[at] = fromK[a]; toI[at] = fromI[a];
        }
    }
    pass(keys, ids, k2, i2, 0);
    pass(k2, i2, keys, ids, 16);
    var sx = new Float64Array(m + 1), sy = new Float64Array(m + 1);
    for (var s = 0; s < m; s++) { sx[s + 1] = sx[s] + mx[ids[s]]; sy[s + 1] = sy[s] + my[ids[s]]; }
    P.index = { m: m, keys: keys.subarray(0, m), order: ids.subarray(0, m), sx: sx, sy: sy, gen: ++P.gen };
    timing.index += performance.now() - t0;
}
function lowerBound(a, v, lo, hi) {
    while (lo < hi) {
        var mid = (lo + hi) >>> 1;
        if (a[mid] < v) lo = mid + 1; else hi = mid;
    }
    return lo;
}

var CELL = 64;
var poiLayer = L.layerGroup().addTo(map);
// Clusters go on one canvas under the markers instead of a marker each: a zoom at a
// million points shows a few hundred new ones. It moves with the map while dragged.
var clusterCanvas = L.DomUtil.create("canvas", "leaflet-zoom-hide", map.getPanes().overlayPane);
clusterCanvas.style.pointerEvents = "none";
var clusterList = [];   // {x, y (layer pixels), n, at (LatLng)} of the last draw
function paintClusters() {
    var size = map.getSize(), ratio = window.devicePixelRatio || 1;
    L.DomUtil.setPosition(clusterCanvas, map.containerPointToLayerPoint([0, 0]));
    var w = Math.round(size.x * ratio), h = Math.round(size.y * ratio);
    if (clusterCanvas.width !== w || clusterCanvas.height !== h) {
        clusterCanvas.width = w; clusterCanvas.height = h;
        clusterCanvas.style.width = size.x + "px"; clusterCanvas.style.height = size.y + "px";
    }
    var g = clusterCanvas.getContext("2d"), origin = map.containerPointToLayerPoint([0, 0]);
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.clearRect(0, 0, size.x, size.y);
    g.font = "bold 12px sans-serif"; g.textAlign = "center"; g.textBaseline = "middle";
    g.lineWidth = 2;
    clusterList.forEach(function (c) {
        var x = c.x - origin.x, y = c.y - origin.y;
        g.beginPath();
        g.arc(x, y, 17, 0, 2 * Math.PI);
        g.fillStyle = "rgba(0, 0, 128, 0.75)"; g.fill();
        g.strokeStyle = "#fff"; g.stroke();
        g.fillStyle = "#fff"; g.fillText(String(c.n), x, y);
    });
}
function clusterAt(layerPoint) {
    for (var k = clusterList.length - 1; k >= 0; k--) {
        var c = clusterList[k], dx = c.x - layerPoint.x, dy = c.y - layerPoint.y;
        if (dx * dx + dy * dy <= 18 * 18) return c;
    }
    return null;
}
// The pointer and the count as a tip over a cluster. A listener of the page, not of
// the map: the map's own ones are walked whole when a script's value holds the map.
map.getContainer().addEventListener("mousemove", function (ev) {
    var c = clusterAt(map.mouseEventToLayerPoint(ev)), box = map.getContainer();
    box.style.cursor = c ? "pointer" : "";
    box.title = c ? String(c.n) : "";
});
var drawn = { markers: 0, clusters: 0, points: 0, ms: 0 };
var shown = new Map(), drawnView = "", drawnCells = {};
var drawPending = false;
function scheduleDraw() {
    if (drawPending) return;
    drawPending = true;
    setTimeout(function () { drawPending = false; drawPois(true); }, 0);
}

function poiPopup(i) {
    var box = el("div", "kx-popup");
    var name = nameOf(i);
    box.appendChild(positionLine(P.lat[i], P.lng[i]));
    box.appendChild(el("div", "kx-name", name));
    var links = el("div", "kx-links");
    links.appendChild(link(text(16, "SavePOI"), function () {
        external.Write(3, fixed6(P.lat[i]) + "," + fixed6(P.lng[i]) + "," + quoted(name));
    }));
    links.appendChild(link(text(2, "AddToRoute"), function () { addWaypoint(P.lat[i], P.lng[i], name); }));
    links.appendChild(link(text(17, "RemovePOI"), function () { removePoi(i); }));
    links.appendChild(link(text(31, "PanTo"), function () { map.panTo([P.lat[i], P.lng[i]]); }));
    links.appendChild(link(text(30, "Zoom"), function () { zoomTo(P.lat[i], P.lng[i]); }));
    box.appendChild(links);
    return box;
}
function removePoi(i) {
    // A removed point leaves the view; its slot stays so indexes keep their meaning.
    P.lat[i] = NaN; P.lng[i] = NaN; P.mx[i] = NaN; P.my[i] = NaN;
    P.index = null;
    map.closePopup();
    scheduleDraw();
}

// Screen cells are squares of the world's grid at the level whose cells are 64 to 128
// pixels wide, so a pan keeps the cells (and their markers) it does not move out of.
function drawPois(scheduled) {
    var t0 = performance.now();
    if (!P.index) buildIndex();
    var X = P.index, keys = X.keys, order = X.order, sx = X.sx, sy = X.sy, mx = P.mx, my = P.my;
    var zoom = map.getZoom(), pb = map.getPixelBounds();
    var world = 256 * Math.pow(2, zoom);
    var level = Math.max(0, Math.floor(Math.log2(world / CELL) + 1e-9)), side = Math.pow(2, level), cs = world / side;
    var view = [X.gen, zoom, pb.min.x, pb.min.y, pb.max.x, pb.max.y].join(",");
    // A draw asked for by a move the last draw already showed.
    if (scheduled && view === drawnView) return;
    drawnView = view;
    var cx0 = Math.max(0, Math.floor(pb.min.x / cs)), cx1 = Math.min(side - 1, Math.floor((pb.max.x - 1) / cs));
    var cy0 = Math.max(0, Math.floor(pb.min.y / cs)), cy1 = Math.min(side - 1, Math.floor((pb.max.y - 1) / cs));
    // Layer pixels are world pixels less the pixel origin of the current zoom.
    var origin = map.getPixelOrigin();
    var cols = Math.max(0, cx1 - cx0 + 1), rows = Math.max(0, cy1 - cy0 + 1), cells = cols * rows;
    var count = new Int32Array(cells), first = new Int32Array(cells);
    var sumX = new Float64Array(cells), sumY = new Float64Array(cells);
    var c, cx, cy;
    if (level <= LEVEL) {
        var span = Math.pow(4, LEVEL - level), lo = 0;
        for (cy = cy0; cy <= cy1; cy++)
            for (cx = cx0; cx <= cx1; cx++) {
                var start = zkey(cx, cy) * span;
                lo = lowerBound(keys, start, 0, X.m);
                var hi = lowerBound(keys, start + span, lo, X.m);
                if (hi === lo) continue;
                c = (cy - cy0) * cols + (cx - cx0);
                count[c] = hi - lo; first[c] = order[lo];
                sumX[c] = sx[hi] - sx[lo]; sumY[c] = sy[hi] - sy[lo];
            }
    } else {
        // Cells finer than the index: the points of the index cells in view, one by one.
        var f = Math.pow(2, level - LEVEL);
        for (var gy = Math.floor(cy0 / f); gy <= Math.floor(cy1 / f); gy++)
            for (var gx = Math.floor(cx0 / f); gx <= Math.floor(cx1 / f); gx++) {
                var key = zkey(gx, gy), a = lowerBound(keys, key, 0, X.m), b = lowerBound(keys, key + 1, a, X.m);
                for (var k = a; k < b; k++) {
                    var i = order[k];
                    var fx = Math.floor(mx[i] * side) - cx0, fy = Math.floor(my[i] * side) - cy0;
                    if (fx < 0 || fx >= cols || fy < 0 || fy >= rows) continue;
                    c = fy * cols + fx;
                    if (count[c]++ === 0) first[c] = i;
                    sumX[c] += mx[i]; sumY[c] += my[i];
                }
            }
    }
    var markers = 0, inView = 0, next = new Map();
    clusterList = [];
    drawnCells = {};
    for (c = 0; c < cells; c++) {
        var n = count[c];
        if (n === 0) continue;
        inView += n;
        drawnCells[(cx0 + c % cols) + "," + (cy0 + (c / cols | 0))] = n;
        if (n > 1) {
            var centre = L.point(sumX[c] / n * world, sumY[c] / n * world);
            clusterList.push({ x: centre.x - origin.x, y: centre.y - origin.y, n: n, at: map.unproject(centre, zoom) });
            continue;
        }
        var p = first[c], id = X.gen + ":" + p, m = shown.get(id);
        if (m) {
            shown.delete(id);
        } else {
            m = L.marker([P.lat[p], P.lng[p]], { icon: icons[P.icon[p]] || poiIcon, title: nameOf(p) });
            m.kxIndex = p;
            m.bindPopup(function (layer) { return poiPopup(layer.kxIndex); });
            poiLayer.addLayer(m);
        }
        next.set(id, m);
        markers++;
    }
    shown.forEach(function (m) { poiLayer.removeLayer(m); });
    shown = next;
    paintClusters();
    drawn = { markers: markers, clusters: clusterList.length, points: inView, ms: performance.now() - t0 };
}
map.on("moveend", scheduleDraw);

// ---- view, home, clicked position ---------------------------------------------------------
var savedView = null;
function WB_Bounds(a, b, c, d) {
    var box = L.latLngBounds([Number(a), Number(b)], [Number(c), Number(d)]);
    if (!box.isValid()) return;
    map.fitBounds(box, { animate: false, maxZoom: 17 });
    savedView = map.getBounds();
}
function savePosition(report) {
    savedView = map.getBounds();
    if (report === false) return;
    var b = savedView;
    external.Write(2, [fixed6(b.getSouth()), fixed6(b.getWest()), fixed6(b.getNorth()), fixed6(b.getEast())].join(","));
}

var homeMarker = null, homeData = null;
function WB_Home(lat, lng, name) {
    lat = Number(lat); lng = Number(lng);
    if (!isFinite(lat) || !isFinite(lng)) return;
    homeData = { lat: lat, lng: lng, name: String(name) };
    if (homeMarker) map.removeLayer(homeMarker);
    homeMarker = L.marker([lat, lng], { icon: homeIcon, title: homeData.name }).addTo(map);
    homeMarker.bindPopup(function () {
        var box = el("div", "kx-popup");
        box.appendChild(positionLine(homeData.lat, homeData.lng));
        box.appendChild(el("div", "kx-name", homeData.name));
        box.appendChild(link(text(2, "AddToRoute"), function () { addWaypoint(homeData.lat, homeData.lng, homeData.name); }));
        return box;
    });
}
function saveAsHome(lat, lng, name) {
    WB_Home(lat, lng, name);
    external.Write(1, fixed6(lat) + "," + fixed6(lng) + "," + quoted(name));
}

var clicked = null, clickedText = "", clickedInput = null;
// Shows or hides an extra layer by its link in the clicked position's Extra tab.
var extraNames = [[10, "Panoramio"], [11, "Wikipedia"], [12, "Traffic "], [13, "YouTube"], [32, "WebCam"]];
function clickedPopup() {
    var ll = clicked.getLatLng();
    var info = el("div", "kx-popup");
    info.appendChild(positionLine(ll.lat, ll.lng));
    var input = el("input", "kx-address");
    input.value = clickedText;
    input.addEventListener("input", function () { clickedText = input.value; });
    info.appendChild(input);
    clickedInput = input;
    var links = el("div", "kx-links");
    links.appendChild(link(text(1, "AddPOI"), function () {
        external.Write(3, fixed6(ll.lat) + "," + fixed6(ll.lng) + "," + quoted(clickedText));
    }));
    links.appendChild(link(text(2, "AddToRoute"), function () { addWaypoint(ll.lat, ll.lng, clickedText); }));
    links.appendChild(link(text(31, "PanTo"), function () { map.panTo(ll); }));
    links.appendChild(link(text(30, "Zoom"), function () { zoomTo(ll.lat, ll.lng); }));
    info.appendChild(links);
    var extra = el("div", "kx-links");
    extra.appendChild(link(text(4, "SaveAsHome"), function () { saveAsHome(ll.lat, ll.lng, clickedText); }));
    extra.appendChild(link(text(5, "SaveView"), function () { savePosition(); }));
    extra.appendChild(link(text(6, "ShowRoute"), showRoute));
    extra.appendChild(link(text(7, "RemoveRoute"), removeRoute));
    extraNames.forEach(function (n, i) {
        var label = ((extraOn[i] ? text(8, "Hide") : text(9, "Show")) + " " + text(n[0], n[1])).trim();
        extra.appendChild(link(label, function () { setExtra(i, !extraOn[i]); clicked.closePopup(); }));
    });
    return kxTabs([[kxWord(KX_CONFIG, "info", "Info"), info], [kxWord(KX_CONFIG, "extra", "Extra"), extra],
                   [text(30, "Zoom"), kxZoomPane(KX_CONFIG, ll.lat, ll.lng, 16, 255, 120, poiIcon)]]);
}
function clickAt(lat, lng) {
    if (!clicked) {
        clicked = L.marker([lat, lng], { draggable: true, icon: poiIcon }).addTo(map);
        bindTabbed(clicked, clickedPopup);
        // A click on the marker while its window is open closes the window and hides
        // the marker; otherwise it opens the window.
        clicked.off("click");
        clicked.on("click", function () {
            if (clicked.isPopupOpen()) {
                clicked.closePopup();
                map.removeLayer(clicked);
            } else {
                clicked.openPopup();
            }
        });
        clicked.on("dragend", function () { var ll = clicked.getLatLng(); clickAt(ll.lat, ll.lng); });
    } else {
        clicked.setLatLng([lat, lng]);
        if (!map.hasLayer(clicked)) clicked.addTo(map);
    }
    clickedText = "";
    // Built afresh for the new position.
    clicked.closePopup();
    clicked.openPopup();
    var ticket = clicked.kxTicket = {};
    reverseGeocode(lat, lng, function (address) {
        if (clicked.kxTicket !== ticket) return;
        clickedText = address;
        if (clickedInput) clickedInput.value = address;
    });
}
map.on("click", function (e) {
    // A click on a cluster zooms in on it.
    var c = clusterAt(e.layerPoint);
    if (c) { map.setView(c.at, Math.min(map.getZoom() + 2, 19)); return; }
    clickAt(e.latlng.lat, e.latlng.lng);
});

// ---- web services: one request per second per kind, as their usage policies ask ----
var SVC = KX_CONFIG.services || {};
var queues = { geo: [], dir: [] }, busy = { geo: false, dir: false }, lastAt = { geo: -1e9, dir: -1e9 };
function fillUrl(template, values) {
    return String(template || "").replace(/\{(\w+)\}/g, function (m, k) {
        return values.hasOwnProperty(k) ? encodeURIComponent(values[k]) : m;
    });
}
function politeFetch(kind, url, done) {
    if (!url) { done(0, null); return; }
    queues[kind].push({ url: url, done: done });
    pump(kind);
}
function pump(kind) {
    if (busy[kind] || queues[kind].length === 0) return;
    busy[kind] = true;
    setTimeout(function () {
        var job = queues[kind].shift();
        lastAt[kind] = performance.now();
        var ctrl = new AbortController();
        var timer = setTimeout(function () { ctrl.abort(); }, 20000);
        function finish(status, text) {
            clearTimeout(timer);
            busy[kind] = false;
            var data = null;
            try { data = JSON.parse(text); } catch (e) { data = null; }
            try { job.done(status, data); } finally { pump(kind); }
        }
        fetch(job.url, { signal: ctrl.signal }).then(function (r) {
            return r.text().then(function (t) { finish(r.status, t); });
        }).catch(function () { finish(0, ""); });
    }, Math.max(0, lastAt[kind] + 1000 - performance.now()));
}

// ---- route: waypoints and the legs between them ------------------------------------
var route = [], startHome = false, walking = false, avoidHighways = false;
var legs = [];   // legs[i] joins route[i] and route[i + 1]
function directionsError(status, code) {
    if (code === "NoRoute" || code === "NoSegment") return text(24, "") + code;
    if (status === 429 || status >= 500) return text(25, "") + status;
    if (code === "InvalidQuery" || code === "InvalidValue") return text(26, "") + code;
    if (status === 401 || status === 403) return text(27, "") + status;
    if (code === "InvalidUrl" || code === "InvalidOptions" || status === 400) return text(28, "") + (code || status);
    return text(29, "An unknown error occurred.");
}
function legLine(leg) {
    if (leg.line) map.removeLayer(leg.line);
    leg.line = L.polyline(leg.points, leg.routed ? { color: "#0000ff", weight: 4, opacity: 0.7 }
                                                 : { color: "#0000ff", weight: 2, dashArray: "4 6" }).addTo(map);
    leg.line.on("click", function (e) {
        L.DomEvent.stopPropagation(e);
        insertWaypoint(legs.indexOf(leg) + 1, e.latlng.lat, e.latlng.lng);
    });
}
function requestLeg(i) {
    if (i < 0 || i >= route.length - 1) return;
    var a = route[i].marker.getLatLng(), b = route[i + 1].marker.getLatLng();
    var leg = legs[i] || (legs[i] = {});
    leg.points = [a, b];
    leg.routed = false;
    leg.distance = 0; leg.duration = 0; leg.steps = [];
    legLine(leg);
    var url = fillUrl(walking ? SVC.walking : SVC.driving,
                      { lat1: a.lat.toFixed(6), lng1: a.lng.toFixed(6), lat2: b.lat.toFixed(6), lng2: b.lng.toFixed(6) });
    if (url && avoidHighways && !walking) url += SVC.avoidHighways || "";
    var ticket = leg.ticket = {};
    politeFetch("dir", url, function (status, data) {
        if (leg.ticket !== ticket || legs.indexOf(leg) < 0) return; // a newer request or a removed leg
        var r = data && data.code === "Ok" && data.routes && data.routes[0];
        var coords = r && r.geometry && r.geometry.coordinates;
        // Unreachable (offline, no such host): the straight line stays, without a box
        // per leg; an answer that is no route gets the service's message.
        if (status === 0) return;
        if (status !== 200 || !Array.isArray(coords)) {
            alert(directionsError(status, data && typeof data.code === "string" ? data.code : ""));
            return;
        }
        leg.points = [];
        for (var k = 0; k < coords.length; k++)
            if (Array.isArray(coords[k]) && isFinite(coords[k][1]) && isFinite(coords[k][0]))
                leg.points.push(L.latLng(Number(coords[k][1]), Number(coords[k][0])));
        leg.routed = true;
        leg.distance = Number(r.distance) || 0;
        leg.duration = Number(r.duration) || 0;
        leg.steps = [];
        (r.legs || []).forEach(function (l) {
            (l.steps || []).forEach(function (st) {
                var m = st.maneuver || {};
                leg.steps.push([m.type, m.modifier, st.name].filter(function (x) { return x; }).join(" "));
            });
        });
        var ways = Array.isArray(data.waypoints) ? data.waypoints : [];
        var w0 = route[legs.indexOf(leg)], w1 = route[legs.indexOf(leg) + 1];
        if (w0 && !w0.address && ways[0] && ways[0].name) w0.address = String(ways[0].name);
        if (w1 && !w1.address && ways[1] && ways[1].name) w1.address = String(ways[1].name);
        legLine(leg);
        markRoute();
    });
}
function markRoute() {
    route.forEach(function (w, i) {
        w.marker.setIcon(i === route.length - 1 ? wpIcons.red : i === 0 ? wpIcons.green : wpIcons.white);
    });
}
function addWaypoint(lat, lng, address) {
    if (route.length === 0 && startHome && homeData)
        route.push(makeWaypoint(homeData.lat, homeData.lng, homeData.name));
    route.push(makeWaypoint(Number(lat), Number(lng), address));
    markRoute();
    requestLeg(route.length - 2);
}
function insertWaypoint(i, lat, lng) {
    route.splice(i, 0, makeWaypoint(lat, lng, ""));
    legs.splice(i, 0, {});
    markRoute();
    requestLeg(i - 1);
    requestLeg(i);
}
function fmtTime(s) {
    s = Math.round(s);
    var d = Math.floor(s / 86400), h = Math.floor(s % 86400 / 3600), m = Math.floor(s % 3600 / 60), sec = s % 60;
    return (d ? d + "d " : "") + h + "h " + m + "m " + sec + "s";
}
function fromStart(i) {
    var dist = 0, time = 0;
    for (var k = 0; k < i && k < legs.length; k++) { dist += legs[k].distance || 0; time += legs[k].duration || 0; }
    return { dist: dist, time: time };
}
function waypointPopup(w) {
    var i = route.indexOf(w), ll = w.marker.getLatLng();
    var info = el("div", "kx-popup");
    info.appendChild(positionLine(ll.lat, ll.lng));
    var input = el("input", "kx-address");
    input.value = w.address;
    input.addEventListener("input", function () { w.address = input.value; });
    info.appendChild(input);
    var at = fromStart(i), total = fromStart(route.length - 1);
    var where = i === 0 ? text(22, "START") : i === route.length - 1 ? text(21, "END")
              : i + ". " + (at.dist / 1000).toFixed(1) + " km, " + fmtTime(at.time);
    info.appendChild(el("div", "kx-leg", where));
    info.appendChild(el("div", "kx-total", "Total: " + (total.dist / 1000).toFixed(1) + " km, " + fmtTime(total.time)));
    var leg = legs[i];
    if (leg && leg.steps && leg.steps.length) {
        var ol = el("ol", "kx-steps");
        leg.steps.forEach(function (st) { ol.appendChild(el("li", null, st)); });
        info.appendChild(ol);
    }
    var links = el("div", "kx-links");
    links.appendChild(link(text(6, "ShowRoute"), showRoute));
    links.appendChild(link(text(15, "RemoveWP"), function () { removeWaypoint(w); }));
    links.appendChild(link(text(30, "Zoom"), function () { zoomTo(ll.lat, ll.lng); }));
    info.appendChild(links);
    var extra = el("div", "kx-links");
    extra.appendChild(link(text(14, "SaveRoute"), saveRoute));
    extra.appendChild(link(text(7, "RemoveRoute"), removeRoute));
    return kxTabs([[kxWord(KX_CONFIG, "info", "Info"), info], [kxWord(KX_CONFIG, "extra", "Extra"), extra],
                   [text(30, "Zoom"), kxZoomPane(KX_CONFIG, ll.lat, ll.lng, 14, 260, 120, wpIcons.red)]]);
}
function makeWaypoint(lat, lng, address) {
    var w = { address: String(address || ""), marker: L.marker([lat, lng], { draggable: true, icon: wpIcons.red }) };
    w.marker.addTo(map);
    w.marker.on("dragend", function () {
        var i = route.indexOf(w);
        requestLeg(i - 1);
        requestLeg(i);
    });
    bindTabbed(w.marker, function () { return waypointPopup(w); });
    return w;
}
function dropLeg(i) {
    if (legs[i] && legs[i].line) map.removeLayer(legs[i].line);
    legs.splice(i, 1);
}
function removeWaypoint(w) {
    var i = route.indexOf(w);
    if (i < 0) return;
    map.removeLayer(w.marker);
    route.splice(i, 1);
    if (i === 0) {
        dropLeg(0);
    } else if (i === route.length) {
        dropLeg(i - 1);
    } else {
        dropLeg(i);
        requestLeg(i - 1);
    }
    markRoute();
}
function WB_WP(lat, lng, name) {
    lat = Number(lat); lng = Number(lng);
    if (!isFinite(lat) || !isFinite(lng)) return;
    addWaypoint(lat, lng, "");
}
function showRoute() {
    if (route.length === 0) { alert(text(18, "Nothing to show")); return; }
    map.fitBounds(L.latLngBounds(route.map(function (w) { return w.marker.getLatLng(); })), { animate: false });
}
function saveRoute() {
    if (route.length === 0) return;
    var parts = [String(route.length)];
    route.forEach(function (w) {
        var ll = w.marker.getLatLng();
        parts.push(fixed6(ll.lat) + "," + fixed6(ll.lng) + "," + w.address.replace(/[|"]/g, " "));
    });
    external.Write(4, parts.join("|"));
}
function removeRoute() {
    route.forEach(function (w) { map.removeLayer(w.marker); });
    legs.forEach(function (l) { if (l.line) map.removeLayer(l.line); });
    route = [];
    legs = [];
}
function WB_startHome(on) { startHome = !!on; }
function WB_TravelMode(on) { walking = !!on; }
function WB_AvoidHighways(on) { avoidHighways = !!on; }

// ---- the address of a clicked position ------------------------------------------------
function reverseGeocode(lat, lng, done) {
    politeFetch("geo", fillUrl(SVC.reverse, { lat: lat.toFixed(6), lng: lng.toFixed(6) }), function (status, data) {
        if (status !== 200 || !data || typeof data.display_name !== "string") { done(""); return; }
        var cc = data.address && typeof data.address.country_code === "string" ? " " + data.address.country_code : "";
        done(data.display_name + cc);
    });
}

// ---- search bar ---------------------------------------------------------------------------
var searchLayer = L.layerGroup().addTo(map);
var searchResults = [];
function plain(s) { return String(s).replace(/["']/g, ""); }
function resultPopup(r) {
    var box = el("div", "kx-popup");
    // The title leads to the place, as Zoom does.
    var title = el("a", "kx-title", r.title);
    title.href = "#";
    title.addEventListener("click", function (ev) { ev.preventDefault(); zoomTo(r.lat, r.lng); });
    var b = el("b");
    b.appendChild(title);
    box.appendChild(b);
    r.lines.forEach(function (l) { box.appendChild(el("div", "kx-address-line", l)); });
    var links = el("div", "kx-links");
    links.appendChild(link(text(1, "AddPOI"), function () {
        external.Write(3, fixed6(r.lat) + "," + fixed6(r.lng) + "," + quoted(plain(r.title)));
    }));
    links.appendChild(link(text(2, "AddToRoute"), function () { addWaypoint(r.lat, r.lng, plain(r.title)); }));
    links.appendChild(link(text(4, "SaveAsHome"), function () { saveAsHome(r.lat, r.lng, plain(r.title)); }));
    box.appendChild(links);
    return box;
}
function search(query) {
    searchLayer.clearLayers();
    searchResults = [];
    politeFetch("geo", fillUrl(SVC.search, { query: String(query) }), function (status, data) {
        kxSearchAnswered(controls.notice, KX_CONFIG, status > 0 && status < 500);
        if (status !== 200 || !Array.isArray(data)) return;
        data.forEach(function (d) {
            var lat = Number(d && d.lat), lng = Number(d && d.lon);
            if (!isFinite(lat) || !isFinite(lng)) return;
            var full = typeof d.display_name === "string" ? d.display_name : "";
            var title = typeof d.name === "string" && d.name ? d.name : full.split(",")[0];
            var r = { lat: lat, lng: lng, title: title, lines: full ? [full] : [] };
            r.marker = L.marker([lat, lng], { icon: poiIcon, title: title }).bindPopup(function () { return resultPopup(r); });
            searchLayer.addLayer(r.marker);
            searchResults.push(r);
        });
        if (searchResults.length)
            map.fitBounds(L.latLngBounds(searchResults.map(function (r) { return [r.lat, r.lng]; })), { animate: false, maxZoom: 16 });
    });
}
kxSearchBar(map, search);

// ---- extra layers: Wikipedia's articles of the view, the others tile overlays; a
// layer without a source stays off and says so ---------------------------------------------
var extras = ["pano", "wiki", "traf", "youtube", "webcam"];
var extraOn = [false, false, false, false, false];
var extraLayers = [null, null, null, null, null];
var wikiLayer = L.layerGroup();
function loadWiki() {
    if (!extraOn[1]) return;
    var b = map.getBounds();
    var url = fillUrl((KX_CONFIG.extras || {}).wiki, {
        north: b.getNorth().toFixed(6), west: b.getWest().toFixed(6),
        south: b.getSouth().toFixed(6), east: b.getEast().toFixed(6)
    });
    politeFetch("geo", url, function (status, data) {
        if (!extraOn[1] || status !== 200 || !data || !data.query || !Array.isArray(data.query.geosearch)) return;
        wikiLayer.clearLayers();
        data.query.geosearch.forEach(function (a) {
            var lat = Number(a && a.lat), lng = Number(a && a.lon);
            if (!isFinite(lat) || !isFinite(lng)) return;
            var title = String(a.title || "");
            wikiLayer.addLayer(L.circleMarker([lat, lng], { radius: 6, color: "#333", fillColor: "#fff", fillOpacity: 1 })
                .bindPopup(function () { var box = el("div", "kx-popup"); box.appendChild(el("b", null, title)); return box; }));
        });
    });
}
map.on("moveend", loadWiki);
function setExtra(i, on) {
    var source = (KX_CONFIG.extras || {})[extras[i]];
    if (extraLayers[i]) { map.removeLayer(extraLayers[i]); extraLayers[i] = null; }
    extraOn[i] = !!on && !!source;
    if (extraOn[i]) {
        extraLayers[i] = i === 1 ? wikiLayer : L.tileLayer(source, { maxZoom: 19, opacity: 0.8 });
        extraLayers[i].addTo(map);
        if (i === 1) loadWiki();
    } else if (i === 1) {
        wikiLayer.clearLayers();
    }
    external.Write(100 + i, extraOn[i] ? "True" : "False");
}
function doPano(on) { setExtra(0, on); }
function doWiki(on) { setExtra(1, on); }
function doTraf(on) { setExtra(2, on); }
function doYouTube(on) { setExtra(3, on); }
function doWebCam(on) { setExtra(4, on); }

// What tests and benchmarks read back; a closed window fades out for a while, so
// the open one is asked.
function openPopupAll(selector) {
    var root = openPopup && openPopup.getElement();
    return root ? root.querySelectorAll(selector) : [];
}
window.KX = {
    notices: function () { return controls.notice.lines(); },
    poiCount: function () { return P.n; },
    drawn: function () { return drawn; },
    // Milliseconds spent taking in blocks and building the index, for the benchmarks.
    timing: function () { return timing; },
    redraw: function () { drawPois(false); return drawn; },
    // Every point as the page holds it: latitude, longitude, icon, name.
    pois: function () {
        var out = [];
        for (var i = 0; i < P.n; i++) out.push([P.lat[i], P.lng[i], P.icon[i], nameOf(i)]);
        return out;
    },
    home: function () { return homeData; },
    route: function () { return route.map(function (w) { var l = w.marker.getLatLng(); return [l.lat, l.lng, w.address]; }); },
    legs: function () {
        return legs.map(function (l) {
            return { points: l.points ? l.points.length : 0, routed: !!l.routed, distance: l.distance || 0,
                     duration: l.duration || 0, steps: l.steps || [] };
        });
    },
    clickedText: function () { return clickedText; },
    wikiCount: function () { return wikiLayer.getLayers().length; },
    search: search,
    results: function () { return searchResults.map(function (r) { return [r.lat, r.lng, r.title]; }); },
    openResult: function (i) { if (searchResults[i]) searchResults[i].marker.openPopup(); return !!searchResults[i]; },
    openWaypoint: function (i) { if (route[i]) route[i].marker.openPopup(); return !!route[i]; },
    view: function () { var b = map.getBounds(); return [b.getSouth(), b.getWest(), b.getNorth(), b.getEast()]; },
    openPoi: function (i) {
        var found = null;
        poiLayer.eachLayer(function (m) { if (m.kxIndex === i) found = m; });
        if (found) found.openPopup();
        return !!found;
    },
    popupText: function () {
        var p = openPopupAll(".leaflet-popup-content")[0];
        return p ? p.textContent : null;
    },
    clickAt: clickAt,
    clickedShown: function () { return !!clicked && map.hasLayer(clicked); },
    clickMarker: function () { if (clicked && map.hasLayer(clicked)) clicked.getElement().click(); },
    tabs: function () {
        return Array.prototype.map.call(openPopupAll(".leaflet-popup-content .kx-tab"),
                                        function (e) { return e.textContent; });
    },
    showTab: function (label) {
        var tabs = openPopupAll(".leaflet-popup-content .kx-tab");
        for (var i = 0; i < tabs.length; i++)
            if (tabs[i].textContent === label) { tabs[i].click(); return true; }
        return false;
    },
    // The shown tab's text, and the links visible in it.
    tabText: function () {
        var b = Array.prototype.filter.call(openPopupAll(".leaflet-popup-content .kx-tab-body"),
                                            function (e) { return e.style.display !== "none"; })[0];
        return b ? b.textContent : null;
    },
    zoomMap: function () {
        var d = openPopupAll(".leaflet-popup-content .kx-zoommap")[0];
        if (!d || !d.kxMap || d.offsetParent === null) return null;
        var c = d.kxMap.getCenter(), layers = 0;
        d.kxMap.eachLayer(function (l) { if (l instanceof L.TileLayer) layers++; });
        return { w: d.offsetWidth, h: d.offsetHeight, zoom: d.kxMap.getZoom(), lat: c.lat, lng: c.lng, tileLayers: layers };
    },
    mapTypes: function () { return controls.types.map(function (t) { return t.name; }); },
    mapTypeTiles: function (name) {
        var t = controls.types.filter(function (x) { return x.name === name; })[0];
        return t ? t.sources.map(function (s) { return s.url; }) : null;
    },
    overview: function () {
        var f = controls.overview.frame();
        return f ? { zoom: controls.overview.zoom(), frame: [f.getSouth(), f.getWest(), f.getNorth(), f.getEast()] } : null;
    },
    clickLink: function (label) {
        var links = openPopupAll(".leaflet-popup-content a.kx-link");
        for (var i = 0; i < links.length; i++)
            if (links[i].textContent === "[ " + label + " ]") { links[i].click(); return true; }
        return false;
    },
    // The markers' titles, then the counts the clusters show.
    titles: function () {
        return Array.prototype.map.call(document.querySelectorAll(".leaflet-marker-icon[title]"),
                                        function (e) { return e.getAttribute("title"); })
            .concat(clusterList.map(function (c) { return String(c.n); }));
    },
    // The clusters of the last draw: where they are in the map's box, and their counts.
    clusters: function () {
        var o = map.containerPointToLayerPoint([0, 0]);
        return clusterList.map(function (c) { return [c.x - o.x, c.y - o.y, c.n]; });
    },
    // The drawn cells' counts by key "column,row", and the same by a visit of every point.
    cells: function () { return drawnCells; },
    // The drawn cells by a visit of every point, for the tests: their counts by key.
    cellsByVisit: function () {
        var zoom = map.getZoom(), pb = map.getPixelBounds(), world = 256 * Math.pow(2, zoom);
        var level = Math.max(0, Math.floor(Math.log2(world / CELL) + 1e-9)), cs = world / Math.pow(2, level);
        var cells = {};
        for (var i = 0; i < P.n; i++) {
            if (!(P.mx[i] >= 0 && P.mx[i] <= 1)) continue;
            var p = map.project([P.lat[i], P.lng[i]], zoom);
            var cx = Math.floor(p.x / cs), cy = Math.floor(p.y / cs);
            if ((cx + 1) * cs <= pb.min.x || cx * cs >= pb.max.x || (cy + 1) * cs <= pb.min.y || cy * cs >= pb.max.y) continue;
            cells[cx + "," + cy] = (cells[cx + "," + cy] || 0) + 1;
        }
        return cells;
    },
};
