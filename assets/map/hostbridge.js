/* SPDX-License-Identifier: GPL-3.0-or-later */
// external.Write/Read of every page go to the host through the web channel once it is
// up; calls made before that wait in a queue.
"use strict";

var kxHost = null, kxQueue = [];
window.external = {
    Write: function (fun, dat) {
        if (kxHost) kxHost.Write(fun, String(dat)); else kxQueue.push([fun, String(dat)]);
    },
    Read: function (fun) { return ""; }
};
if (window.qt && window.QWebChannel) {
    new QWebChannel(qt.webChannelTransport, function (channel) {
        kxHost = channel.objects.host;
        kxQueue.forEach(function (c) { kxHost.Write(c[0], c[1]); });
        kxQueue = [];
    });
}
