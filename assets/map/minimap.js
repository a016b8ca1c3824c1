/* SPDX-License-Identifier: GPL-3.0-or-later */
// The POI editor's small map: one draggable marker the host moves with
// WB_SetMarker; a click or a drag reports the point and its address (Write 1).
"use strict";

var CFG = window.KX_CONFIG || {};
var SVC = CFG.services || {};
var map = L.map("mapka", { center: [0, 0], zoom: 5, doubleClickZoom: false });
var controls = kxControls(map, CFG, "terrain");

var marker = null;
function place(lat, lng) {
    if (marker) map.removeLayer(marker);
    marker = L.marker([lat, lng], { draggable: true }).addTo(map);
    marker.on("dragend", function () { var ll = marker.getLatLng(); report(ll.lat, ll.lng); });
}
function WB_SetMarker(lat, lng) {
    lat = Number(lat); lng = Number(lng);
    if (!isFinite(lat) || !isFinite(lng)) return false;
    place(lat, lng);
    if (!map.getBounds().contains([lat, lng])) map.setView([lat, lng], map.getZoom(), { animate: false });
    return true;
}
map.on("click", function (e) { place(e.latlng.lat, e.latlng.lng); report(e.latlng.lat, e.latlng.lng); });

// One geocoding or search request per second; of the points asked for only the last
// is answered.
var lastAt = -1e9, busy = false, jobs = [];
function report(lat, lng) {
    jobs = jobs.filter(function (j) { return !j.point; });
    jobs.push({ point: { lat: lat, lng: lng } });
    pump();
}
function askFor(url, done) {
    jobs.push({ url: url, done: done });
    pump();
}
function fetchJson(url, done) {
    if (!url) { done(null); return; }
    var ctrl = new AbortController();
    var timer = setTimeout(function () { ctrl.abort(); }, 20000);
    fetch(url, { signal: ctrl.signal }).then(function (r) { return r.ok ? r.json() : null; })
        .then(function (d) { clearTimeout(timer); done(d); })
        .catch(function () { clearTimeout(timer); done(null); });
}
function pump() {
    if (busy || jobs.length === 0) return;
    busy = true;
    setTimeout(function () {
        var job = jobs.shift();
        lastAt = performance.now();
        function next() { busy = false; pump(); }
        if (!job.point) {
            fetchJson(job.url, function (d) { try { job.done(d); } finally { next(); } });
            return;
        }
        var p = job.point;
        var pos = p.lat.toFixed(6) + "," + p.lng.toFixed(6);
        var url = String(SVC.reverse || "").replace("{lat}", p.lat.toFixed(6)).replace("{lng}", p.lng.toFixed(6));
        fetchJson(url, function (d) {
            var address = d && typeof d.display_name === "string" ? d.display_name : "";
            external.Write(1, pos + "," + (address ? "\"" + address.replace(/"/g, "") + "\"" : "?"));
            next();
        });
    }, Math.max(0, lastAt + 1000 - performance.now()));
}

// The search bar: each result offers to take its point as the marker's.
var searchLayer = L.layerGroup().addTo(map);
var results = [];
function setMarkerHere(r) {
    map.closePopup();
    place(r.lat, r.lng);
    report(r.lat, r.lng);
}
function search(query) {
    searchLayer.clearLayers();
    results = [];
    var url = String(SVC.search || "").replace("{query}", encodeURIComponent(String(query)));
    askFor(url, function (data) {
        kxSearchAnswered(controls.notice, CFG, data !== null);
        if (!Array.isArray(data)) return;
        data.forEach(function (d) {
            var lat = Number(d && d.lat), lng = Number(d && d.lon);
            if (!isFinite(lat) || !isFinite(lng)) return;
            var title = typeof d.display_name === "string" ? d.display_name : "";
            var r = { lat: lat, lng: lng, title: title };
            r.marker = L.circleMarker([lat, lng], { radius: 6, color: "#000080", fillColor: "#fff", fillOpacity: 1 })
                .bindPopup(function () {
                    var box = el("div", "kx-popup");
                    box.appendChild(el("b", null, r.title));
                    var links = el("div", "kx-links");
                    links.appendChild(link(kxWord(CFG, "setMarkerHere", "SetMarkerHere"), function () { setMarkerHere(r); }));
                    box.appendChild(links);
                    return box;
                });
            searchLayer.addLayer(r.marker);
            results.push(r);
        });
        if (results.length)
            map.fitBounds(L.latLngBounds(results.map(function (r) { return [r.lat, r.lng]; })), { animate: false, maxZoom: 15 });
    });
}
kxSearchBar(map, search);

window.KX = {
    marker: function () { if (!marker) return null; var ll = marker.getLatLng(); return [ll.lat, ll.lng]; },
    clickAt: function (lat, lng) { map.fire("click", { latlng: L.latLng(lat, lng) }); },
    search: search,
    results: function () { return results.map(function (r) { return [r.lat, r.lng, r.title]; }); },
    openResult: function (i) { if (results[i]) results[i].marker.openPopup(); return !!results[i]; },
    popupText: function () { var p = document.querySelector(".leaflet-popup-content"); return p ? p.textContent : null; },
    clickLink: function (label) {
        var links = document.querySelectorAll(".leaflet-popup-content a.kx-link");
        for (var i = 0; i < links.length; i++)
            if (links[i].textContent === "[ " + label + " ]") { links[i].click(); return true; }
        return false;
    },
    mapTypes: function () { return controls.types.map(function (t) { return t.name; }); },
    overview: function () { return controls.overview.zoom(); }
};
