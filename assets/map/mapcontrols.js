/* SPDX-License-Identifier: GPL-3.0-or-later */
// What both map pages share: the map types, the overview map, the scale, and the
// info windows with tabs. Texts go into the page as text nodes only.
"use strict";

function el(tag, cls, content) {
    var e = document.createElement(tag);
    if (cls) e.className = cls;
    if (content !== undefined) e.textContent = content;
    return e;
}
function link(label, act) {
    var a = el("a", "kx-link", "[ " + label + " ]");
    a.href = "#";
    a.addEventListener("click", function (ev) { ev.preventDefault(); act(); });
    return a;
}

// The map types by the host's tile sources: "map", "terrain", "satellite" and
// "labels" (drawn over the satellite pictures for the hybrid type).
// Online tiles come through the host's scheme ("via"), which keeps them in its disk
// cache and serves them from there offline.
function kxTileLayer(source, extra) {
    var opts = { attribution: source.attribution, maxZoom: 19 };
    for (var k in extra || {}) opts[k] = extra[k];
    return L.tileLayer(source.via || source.url, opts);
}
// A tile archive of the user's as a base layer, within its zooms and bounds; one the
// host could not open is a layer without tiles whose notice says why.
function kxArchiveLayer(a) {
    if (a.error) return L.layerGroup([]);
    var opts = { attribution: a.attribution || "", minZoom: 0, maxZoom: 19,
                 minNativeZoom: a.minZoom || 0, maxNativeZoom: a.maxZoom === undefined ? 19 : a.maxZoom };
    if (a.bounds) opts.bounds = L.latLngBounds([a.bounds[0], a.bounds[1]], [a.bounds[2], a.bounds[3]]);
    return L.tileLayer(a.url, opts);
}

// The built-in world (Natural Earth's land and borders, TopoJSON) in a pane under the
// tiles, on a sea-coloured map: what shows when no tile source answers.
function kxTopoRings(topo) {
    var t = topo.transform, arcs = topo.arcs.map(function (arc) {
        var x = 0, y = 0;
        return arc.map(function (p) {
            x += p[0]; y += p[1];
            return [y * t.scale[1] + t.translate[1], x * t.scale[0] + t.translate[0]];
        });
    });
    function ring(ids) {
        var out = [];
        ids.forEach(function (i) {
            var a = i < 0 ? arcs[~i].slice().reverse() : arcs[i];
            out = out.concat(out.length ? a.slice(1) : a);
        });
        return out;
    }
    return function (geometry) {
        if (geometry.type === "Polygon") return [geometry.arcs.map(ring)];
        if (geometry.type === "MultiPolygon") return geometry.arcs.map(function (p) { return p.map(ring); });
        return [];
    };
}
// Land and borders projected once to the unit square of the web map, each polygon
// with its box, so a tile draws only what crosses it.
function kxWorldShapes(topo) {
    var rings = kxTopoRings(topo);
    function project(r) {
        return r.map(function (p) {
            var s = Math.sin(Math.max(-85.0511, Math.min(85.0511, p[0])) * Math.PI / 180);
            return [(p[1] + 180) / 360, 0.5 - Math.log((1 + s) / (1 - s)) / (4 * Math.PI)];
        });
    }
    function shapes(object) {
        var out = [];
        (object ? object.geometries : []).forEach(function (g) {
            rings(g).forEach(function (poly) {
                var pr = poly.map(project), b = [1, 1, 0, 0];
                pr[0].forEach(function (p) {
                    b[0] = Math.min(b[0], p[0]); b[1] = Math.min(b[1], p[1]);
                    b[2] = Math.max(b[2], p[0]); b[3] = Math.max(b[3], p[1]);
                });
                out.push({ rings: pr, box: b });
            });
        });
        return out;
    }
    return { land: shapes(topo.objects.land), borders: shapes(topo.objects.countries) };
}
// Drawn as canvas tiles: Leaflet's own paths of 160,000 points stall the page. The
// shapes stay in a closure, out of reach of anything that walks the map's objects
// (the host turning a script's result into a value).
// A tile is drawn after the zoom or pan that asked for it, as an image tile arrives,
// so a zoom of the map does not wait for the coastlines.
function kxWorldLayer(shapes, options) {
    return new (L.GridLayer.extend({
        createTile: function (c, done) {
            var tile = document.createElement("canvas");
            tile.width = tile.height = 256;
            setTimeout(function () { kxWorldTile(shapes, c, tile); done(null, tile); }, 0);
            return tile;
        }
    }))(options);
}
function kxWorldTile(shapes, c, tile) {
    var n = Math.pow(2, c.z), x0 = (((c.x % n) + n) % n) / n, y0 = c.y / n, k = 256 * n;
    var ctx = tile.getContext("2d");
    function side(x, y) { return (x < -8 ? 1 : x > 264 ? 2 : 0) | (y < -8 ? 4 : y > 264 ? 8 : 0); }
    function each(list, act) {
        list.forEach(function (s) {
            if (s.box[2] < x0 || s.box[0] > x0 + 1 / n || s.box[3] < y0 || s.box[1] > y0 + 1 / n) return;
            ctx.beginPath();
            s.rings.forEach(function (r) {
                var last = r.length - 1, lx = 0, ly = 0, lc = 0;
                for (var i = 0; i <= last; ++i) {
                    var px = (r[i][0] - x0) * k, py = (r[i][1] - y0) * k, pc = side(px, py);
                    if (i && i < last) {
                        // A point beside the tile between two beside it on the same side
                        // changes nothing inside; nor does one within half a pixel.
                        if (lc & pc & side((r[i + 1][0] - x0) * k, (r[i + 1][1] - y0) * k)) continue;
                        if (Math.abs(px - lx) < 0.5 && Math.abs(py - ly) < 0.5) continue;
                    }
                    if (i) ctx.lineTo(px, py); else ctx.moveTo(px, py);
                    lx = px; ly = py; lc = pc;
                }
                ctx.closePath();
            });
            act();
        });
    }
    ctx.fillStyle = "#f2efe9";
    each(shapes.land, function () { ctx.fill("evenodd"); });
    ctx.strokeStyle = "#a89090";
    ctx.lineWidth = 0.8;
    each(shapes.borders, function () { ctx.stroke(); });
}
function kxWorld(map) {
    map.getContainer().style.background = "#aad3df";
    var topo = window.KX_WORLD;
    if (!topo || !topo.objects || !topo.transform) return null;
    var pane = map.createPane("kxWorld");
    pane.style.zIndex = 150;
    pane.style.pointerEvents = "none";
    var shapes = kxWorldShapes(topo);
    window.KX_WORLD = null; // decoded once; the page keeps only the shapes
    return kxWorldLayer(shapes, { pane: "kxWorld", maxZoom: 19, attribution: "Natural Earth" }).addTo(map);
}
function kxMapTypes(cfg, terrainName) {
    var by = {};
    (cfg.tiles || []).forEach(function (t) { by[t.kind] = t; });
    var names = cfg.words || {};
    var types = [];
    function add(name, sources) {
        sources = sources.filter(function (s) { return s && s.url; });
        if (sources.length === 0) return;
        var tileLayers = sources.map(function (s) { return kxTileLayer(s); });
        var layer = tileLayers.length === 1 ? tileLayers[0] : L.layerGroup(tileLayers);
        types.push({ name: name, layer: layer, sources: sources, tileLayers: tileLayers });
    }
    add(names.normal || "Normal", [by.map]);
    add(names.satellite || "Satellite", [by.satellite]);
    add(names.hybrid || "Hybrid", [by.satellite, by.labels]);
    add(terrainName === "terrain" ? names.terrain || "Terrain" : names.physical || "Physical", [by.terrain]);
    (cfg.archives || []).forEach(function (a) {
        var layer = kxArchiveLayer(a);
        types.push({ name: a.name, layer: layer, sources: [{ url: a.url, attribution: a.attribution }],
                     tileLayers: a.error ? [] : [layer], archive: a });
    });
    return types;
}
// Lines in the page that say why the map is empty or a service is silent; each goes
// again once its service answers. Text nodes only.
function kxNotice(map) {
    var box = el("div", "kx-notice");
    box.style.display = "none";
    var Notice = L.Control.extend({ onAdd: function () { L.DomEvent.disableClickPropagation(box); return box; } });
    new Notice({ position: "topleft" }).addTo(map);
    var lines = {};
    function render() {
        box.textContent = "";
        var keys = Object.keys(lines);
        keys.forEach(function (k) { box.appendChild(el("div", null, lines[k])); });
        box.style.display = keys.length ? "" : "none";
    }
    return {
        show: function (key, line) { if (lines[key] !== line) { lines[key] = line; render(); } },
        hide: function (key) { if (key in lines) { delete lines[key]; render(); } },
        lines: function () { return Object.keys(lines).map(function (k) { return lines[k]; }); }
    };
}
// The server of a tile address template, for the notice.
function kxHostOf(template) {
    try { return new URL(String(template).replace(/\{s\}/g, "a").replace(/\{[^}]*\}/g, "0")).host; }
    catch (e) { return String(template); }
}
function kxWatchArchive(t, notice) {
    var key = "archive " + t.archive.url;
    if (!t.archive.error) return;
    t.layer.on("add", function () { notice.show(key, t.archive.error); });
    t.layer.on("remove", function () { notice.hide(key); });
}
function kxWatchTiles(layer, source, notice, cfg) {
    var host = kxHostOf(source.url), key = "tiles " + host;
    layer.on("tileerror", function () {
        notice.show(key, kxWord(cfg, "tilesDown", "The map server %1 does not answer: no background").replace("%1", host));
    });
    layer.on("tileload", function () { notice.hide(key); });
}
// What a search that got no answer says; an answer takes it away.
function kxSearchAnswered(notice, cfg, answered) {
    if (answered) notice.hide("search");
    else notice.show("search", kxWord(cfg, "searchDown", "The search service does not answer"));
}

// The type chooser with the hybrid type under the satellite one, the scale at the
// bottom left, and the overview map; the first type is shown.
function kxControls(map, cfg, terrainName) {
    var world = kxWorld(map);
    var types = kxMapTypes(cfg, terrainName);
    var notice = kxNotice(map);
    types.forEach(function (t) {
        if (t.archive) kxWatchArchive(t, notice);
        else t.tileLayers.forEach(function (l, i) { kxWatchTiles(l, t.sources[i], notice, cfg); });
    });
    var base = {};
    types.forEach(function (t) { base[t.name] = t.layer; });
    if (types.length) types[0].layer.addTo(map);
    var chooser = L.control.layers(base, null, { position: "topright" }).addTo(map);
    chooser.getContainer().classList.add("kx-types");
    L.control.scale({ position: "bottomleft" }).addTo(map).getContainer().classList.add("kx-scale");
    var overview = new KxOverview(types.length ? types[0].sources[0] : null, { position: "bottomright" }).addTo(map);
    return { types: types, chooser: chooser, overview: overview, notice: notice, world: world };
}

// A small map of the surroundings: five zoom levels out, the main view framed on it;
// a click there centres the main map.
// Without the map library the page says so (its own script checks for it).
var KxOverview = window.L && L.Control.extend({
    initialize: function (source, options) { L.setOptions(this, options); this._source = source; },
    onAdd: function (map) {
        var box = L.DomUtil.create("div", "kx-overview leaflet-bar");
        L.DomEvent.disableClickPropagation(box);
        L.DomEvent.disableScrollPropagation(box);
        this._main = map;
        var self = this;
        setTimeout(function () { self._build(box); }, 0);
        return box;
    },
    onRemove: function (map) {
        map.off("moveend", this._follow, this);
        if (this._small) this._small.remove();
    },
    _build: function (box) {
        if (!this._main) return;
        this._small = L.map(box, {
            attributionControl: false, zoomControl: false, dragging: false, scrollWheelZoom: false,
            doubleClickZoom: false, boxZoom: false, keyboard: false, touchZoom: false
        });
        if (this._source) kxTileLayer(this._source).addTo(this._small);
        this._frame = L.rectangle(this._main.getBounds(), { weight: 1, color: "#000080", fillOpacity: 0.1, interactive: false })
            .addTo(this._small);
        var main = this._main;
        this._small.on("click", function (e) { main.panTo(e.latlng); });
        main.on("moveend", this._follow, this);
        this._follow();
    },
    _follow: function () {
        this._small.setView(this._main.getCenter(), Math.max(0, this._main.getZoom() - 5), { animate: false });
        this._frame.setBounds(this._main.getBounds());
    },
    zoom: function () { return this._small ? this._small.getZoom() : -1; },
    frame: function () { return this._frame ? this._frame.getBounds() : null; }
});

// The search field in the map's top left corner: Enter hands its text to `search`.
function kxSearchBar(map, search) {
    var Bar = L.Control.extend({
        onAdd: function () {
            var box = L.DomUtil.create("div", "kx-search leaflet-bar");
            var input = L.DomUtil.create("input", "", box);
            input.type = "search";
            input.addEventListener("keydown", function (e) { if (e.key === "Enter") search(input.value); });
            L.DomEvent.disableClickPropagation(box);
            return box;
        }
    });
    new Bar({ position: "topleft" }).addTo(map);
}

// A word of the pages beside the numbered texts, translated by the host.
function kxWord(cfg, key, def) { return (cfg.words || {})[key] || def; }

// An info window of three tabs; `panes` is a list of [label, node or function that
// makes the node when the tab is first shown].
function kxTabs(panes) {
    var box = el("div", "kx-tabs");
    var head = el("div", "kx-tab-head");
    box.appendChild(head);
    var bodies = [];
    panes.forEach(function (p, i) {
        var tab = el("a", "kx-tab", p[0]);
        tab.href = "#";
        var body = el("div", "kx-tab-body");
        if (typeof p[1] !== "function") body.appendChild(p[1]);
        body.style.display = "none";
        box.appendChild(body);
        bodies.push({ tab: tab, body: body, make: typeof p[1] === "function" ? p[1] : null });
        tab.addEventListener("click", function (ev) { ev.preventDefault(); show(i); });
        head.appendChild(tab);
    });
    function show(i) {
        bodies.forEach(function (b, k) {
            b.body.style.display = k === i ? "" : "none";
            b.tab.classList.toggle("kx-tab-on", k === i);
        });
        var b = bodies[i];
        if (b.make) { var m = b.make; b.make = null; m(b.body); }
        box.dispatchEvent(new CustomEvent("kxtab", { bubbles: true }));
    }
    show(0);
    return box;
}
// The "Zoom" tab: a hybrid map of w x h pixels at `zoom` with a marker at the point.
function kxZoomPane(cfg, lat, lng, zoom, w, h, icon) {
    return function (body) {
        var div = el("div", "kx-zoommap");
        div.style.width = w + "px";
        div.style.height = h + "px";
        body.appendChild(div);
        var types = kxMapTypes(cfg);
        var hybrid = types.filter(function (t) { return t.sources.length > 1; })[0] || types[0];
        var m = L.map(div, { attributionControl: false, zoomControl: false, center: [lat, lng], zoom: zoom });
        if (hybrid) hybrid.layer.addTo(m);
        L.marker([lat, lng], icon ? { interactive: false, icon: icon } : { interactive: false }).addTo(m);
        div.kxMap = m;
    };
}
