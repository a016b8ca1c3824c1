/* SPDX-License-Identifier: GPL-3.0-or-later */
// The capture page: a bare map in a 1-pixel black border (the host finds the
// picture by it), a search field, the name prefix and "Get Image", which reports the
// map's box and size (callback 5) for the host to cut the picture from a grab.
"use strict";

var CFG = window.KX_CONFIG || { tiles: [], words: {} };
var W = CFG.words || {};
function word(k, def) { return W[k] !== undefined ? W[k] : def; }

var box = document.getElementById("mapka");
function fit() {
    // Room for the form below the map.
    box.style.width = Math.max(50, window.innerWidth - 2) + "px";
    box.style.height = Math.max(50, window.innerHeight - 35) + "px";
}
fit();

var map = L.map("mapka", { center: [52, 19], zoom: 6, scrollWheelZoom: true, doubleClickZoom: true,
                           keyboard: false, attributionControl: false });
var tiles = CFG.tiles || [];
function tileLayer(t) { return L.tileLayer(t ? t.url : "", { maxZoom: 19 }); }
var normal = tileLayer(tiles[0]);
var satellite = tileLayer(tiles.filter(function (t) { return t.name === "Satellite"; })[0] || tiles[0]);
var current = normal.addTo(map);
function setType(layer) {
    if (current === layer) return;
    map.removeLayer(current);
    current = layer.addTo(map);
}
window.addEventListener("resize", function () { fit(); map.invalidateSize(false); });

var marks = L.layerGroup().addTo(map);
function fixed6(x) { return Number(x).toFixed(6); }

function findAndShow() {
    var address = document.getElementById("address").value;
    var url = String(CFG.search || "").replace("{query}", encodeURIComponent(address));
    fetch(url).then(function (r) { return r.json(); }).then(function (data) {
        var hit = Array.isArray(data) && data[0];
        var lat = hit ? Number(hit.lat) : NaN, lng = hit ? Number(hit.lon) : NaN;
        if (!isFinite(lat) || !isFinite(lng)) throw new Error("none");
        map.setView([lat, lng], 14, { animate: false });
        marks.clearLayers();
        L.marker([lat, lng], { title: address }).addTo(marks);
    }).catch(function () { alert(address + word("notFound", " not found!")); });
}

function getImage() {
    hideMenu();
    marks.clearLayers();
    map.closePopup();
    var b = map.getBounds(), size = map.getSize();
    var prefix = document.getElementById("prefix").value;
    external.Write(5, [fixed6(b.getSouth()), fixed6(b.getWest()), fixed6(b.getNorth()), fixed6(b.getEast()),
                       prefix, size.x, size.y, box.offsetLeft, box.offsetTop].join(","));
}

var menu = document.getElementById("menu");
function hideMenu() { menu.style.display = "none"; }
function item(id, text, act) {
    var e = document.getElementById(id);
    e.textContent = text;
    e.addEventListener("click", function () { hideMenu(); act(); });
}
document.getElementById("menu-title").textContent = word("menu", "MENU");
item("menu-get", word("getImage", "Get Image"), getImage);
item("menu-sat", word("satellite", "Satellite View"), function () { setType(satellite); });
item("menu-normal", word("normal", "Normal View"), function () { setType(normal); });
map.on("contextmenu", function (e) {
    menu.style.left = e.containerPoint.x + box.offsetLeft + "px";
    menu.style.top = e.containerPoint.y + box.offsetTop + "px";
    menu.style.display = "block";
});
map.on("click movestart", hideMenu);

var find = document.getElementById("find"), get = document.getElementById("get");
find.value = word("find", "Find & Show");
get.value = word("getImage", "Get Image");
find.addEventListener("click", findAndShow);
get.addEventListener("click", getImage);
document.getElementById("address").addEventListener("keydown", function (e) { if (e.key === "Enter") findAndShow(); });

window.KXR = {
    getImage: getImage,
    box: function () { return [box.offsetLeft, box.offsetTop, map.getSize().x, map.getSize().y]; },
    tilesLoaded: function () { return !!current._loading === false && Object.keys(current._tiles || {}).length > 0; },
    type: function () { return current === satellite ? "satellite" : "normal"; },
    find: findAndShow,
    marks: function () { return marks.getLayers().length; },
    showMenu: function () { map.fire("contextmenu", { containerPoint: L.point(10, 10), latlng: map.getCenter() }); return menu.style.display; }
};
