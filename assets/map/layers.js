/* SPDX-License-Identifier: GPL-3.0-or-later */
// The map's extra layers: raster overlays with their frame and marker, and lines
// through points the host collects (tracks, roads). Loaded after korvixmap.js and
// uses its map, icon(), savedView and the POI drawing.
"use strict";

var rasterIcon = icon("POS.png", 32, 32, 26, 26, 26, 6);
var rasterLayer = L.layerGroup().addTo(map);
var lineLayer = L.layerGroup().addTo(map);
var linePoints = [];
var rasters = [], lines = [];

function WB_Raster(w, s, e, n, file, info) {
    w = Number(w); s = Number(s); e = Number(e); n = Number(n);
    if (!isFinite(w) || !isFinite(s) || !isFinite(e) || !isFinite(n)) return;
    var box = L.latLngBounds([s, w], [n, e]);
    var picture = L.imageOverlay(String(file), box).addTo(rasterLayer);
    var frame = L.rectangle(box, { color: "#ff0000", weight: 3, fill: false, interactive: false }).addTo(rasterLayer);
    // The info comes from the host with every value escaped.
    var marker = L.marker([n, e], { icon: rasterIcon, title: String(file) }).bindPopup(String(info)).addTo(rasterLayer);
    rasters.push({ picture: picture, frame: frame, marker: marker });
}

function WB_Poliline_clr() {
    linePoints = [];
    currentIcon = 0;
}
function WB_Poliline_add(lat, lng) {
    lat = Number(lat); lng = Number(lng);
    if (isFinite(lat) && isFinite(lng)) linePoints.push([lat, lng]);
}
function WB_Poliline(colour, width) {
    if (linePoints.length) {
        var line = L.polyline(linePoints, { color: String(colour), weight: Number(width) || 1, interactive: false });
        line.addTo(lineLayer);
        lines.push(line);
        map.fitBounds(line.getBounds(), { animate: false, maxZoom: 17 });
        savedView = map.getBounds();
    }
    scheduleDraw();
}

// For the tests: what the layers hold.
window.KXL = {
    rasters: function () {
        return rasters.map(function (r) {
            var b = r.picture.getBounds(), ll = r.marker.getLatLng();
            return { file: r.picture._url, south: b.getSouth(), west: b.getWest(), north: b.getNorth(), east: b.getEast(),
                     frame: r.frame.options.color, frameWidth: r.frame.options.weight, markerLat: ll.lat, markerLng: ll.lng,
                     title: r.marker.options.title, loaded: !!(r.picture._image && r.picture._image.complete &&
                                                               r.picture._image.naturalWidth > 0) };
        });
    },
    lines: function () {
        return lines.map(function (l) {
            return { colour: l.options.color, width: l.options.weight, points: l.getLatLngs().length };
        });
    },
    openRaster: function (i) { rasters[i].marker.openPopup(); return !!rasters[i].marker.isPopupOpen(); },
    view: function () { var b = map.getBounds(); return [b.getSouth(), b.getWest(), b.getNorth(), b.getEast()]; }
};
