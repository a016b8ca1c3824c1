// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Feed downloads through the main window's HTTP client, and the servers they come
// from (settings with defaults of ours).

#include "core/Settings.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

class HttpClient;
class IProgress;
class KorvixSettings;

namespace Feeds {

// The map's city layers read the same servers: one setting per source.
using Source = Prefs::Source;

inline QString defaultServer(Source source) { return Prefs::Sources::defaultServer(source); }
// The configured server ("http://host[:port]"); a bare host name gets "http://".
inline QString server(const KorvixSettings &settings, Source source) { return Prefs::sources(settings).server(source); }
// The server's address with the path of one feed; port 80 unless the server names one.
QUrl feedUrl(const QString &server, const QString &path);

// Paths on the servers.
inline constexpr const char *GddkiaPath = "/dane/zima_html/utrdane.xml";
inline constexpr const char *GddkiaMobiPath = "/dane/targeo_mobi/gddkia-mobi.xml";
inline constexpr const char *KrakowPath = "/images/stories/mapa/mapa.xml";
inline constexpr const char *ZakopanePath = "/wszystkie.xml";

// GET of `url`: the address in the status text while it runs (cleared after), the
// transfer on the client's progress signals, cancel() of the client ends it. Gives
// up after `silenceMs` without a byte and refuses bodies over `maxBytes`. Throws
// KorvixError with the reason.
QByteArray download(HttpClient &http, IProgress *progress, const QUrl &url, int silenceMs = 60000,
                    qint64 maxBytes = 32 * 1024 * 1024);

QString silenceMessage(int seconds);

} // namespace Feeds
