// The POI editor's small map: one draggable marker the host moves with
// WB_SetMarker; a click or a drag reports the point and its address (Write 1).
"use strict";

var CFG = window.KX_CONFIG || {};
var SVC = CFG.services || {};
var kxHost = null, kxQueue = [];
window.external = {
    Write: function (t, s) { if (kxHost) kxHost.Write(t, String(s)); else kxQueue.push([t, String(s)]); },
    Read: function (t) { return ""; }
};
if (window.qt && window.QWebChannel) {
    new QWebChannel(qt.webChannelTransport, function (channel) {
        kxHost = channel.objects.host;
        kxQueue.forEach(function (c) { kxHost.Write(c[0], c[1]); });
        kxQueue = [];
    });
}

var map = L.map("mapka", { center: [0, 0], zoom: 5, doubleClickZoom: false });
var layers = {};
(CFG.tiles || []).forEach(function (t, i) {
    var layer = L.tileLayer(t.url, { attribution: t.attribution, maxZoom: 19 });
    layers[t.name] = layer;
    if (i === 0) layer.addTo(map);
});
L.control.layers(layers, null, { position: "topright", collapsed: true }).addTo(map);
L.control.scale({ position: "bottomleft" }).addTo(map);

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

// One geocoding request per second; only the last point asked for is answered.
var lastAt = -1e9, wanted = null, busy = false;
function report(lat, lng) {
    wanted = { lat: lat, lng: lng };
    pump();
}
function pump() {
    if (busy || !wanted) return;
    busy = true;
    setTimeout(function () {
        var p = wanted;
        wanted = null;
        lastAt = performance.now();
        var pos = p.lat.toFixed(6) + "," + p.lng.toFixed(6);
        function done(address) {
            busy = false;
            external.Write(1, pos + "," + (address ? "\"" + address.replace(/"/g, "") + "\"" : "?"));
            pump();
        }
        var url = String(SVC.reverse || "").replace("{lat}", p.lat.toFixed(6)).replace("{lng}", p.lng.toFixed(6));
        if (!url) { done(""); return; }
        var ctrl = new AbortController();
        var timer = setTimeout(function () { ctrl.abort(); }, 20000);
        fetch(url, { signal: ctrl.signal }).then(function (r) { return r.ok ? r.json() : null; })
            .then(function (d) { clearTimeout(timer); done(d && typeof d.display_name === "string" ? d.display_name : ""); })
            .catch(function () { clearTimeout(timer); done(""); });
    }, Math.max(0, lastAt + 1000 - performance.now()));
}

window.KX = {
    marker: function () { if (!marker) return null; var ll = marker.getLatLng(); return [ll.lat, ll.lng]; },
    clickAt: function (lat, lng) { map.fire("click", { latlng: L.latLng(lat, lng) }); }
};
