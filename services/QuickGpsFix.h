// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <functional>

class HttpClient;

// The ephemeris update of a device: both chip families' archives downloaded, unpacked
// in the work folder, and their files copied into the device's "ephem" folder.
namespace QuickGpsFix {
inline constexpr const char *DefaultHost = "ephemeris.korvix.org";
inline constexpr const char *DefaultGlobalLocate =
    "/download/Ephemeris.cab?type=ephemeris&eeProvider=globalLocate&devicecode=1";
inline constexpr const char *DefaultSirfStar =
    "/download/Ephemeris.cab?type=ephemeris&eeProvider=SiRFStarIII&devicecode=2";

struct Addresses {
    QString host = QLatin1String(DefaultHost);
    QString globalLocate = QLatin1String(DefaultGlobalLocate);
    QString sirfStar = QLatin1String(DefaultSirfStar);
};

// "http://" + host + path, the query as stored; an address kept HTML-escaped ("&amp;")
// by older settings asks for the same "&"-separated query.
QUrl requestUrl(const QString &host, const QString &path);

// Fetches `url` into `file` through QSaveFile, the transfer driving the client's
// progress signals. An error answer, a refused connection or no data for `stallMs`
// throws KorvixError and leaves an existing file as it was.
void download(HttpClient &http, const QUrl &url, const QString &file, int stallMs);

// Unpacks `cabinet` into `folder`; throws KorvixError when it is not a cabinet.
void unpack(const QString &cabinet, const QString &folder);

// The three files the archives hold, in the order they are copied.
const QStringList &ephemerisFiles();
// Sets the modification time of those of the three in `folder` that exist.
void touchFiles(const QString &folder, const QDateTime &when);
} // namespace QuickGpsFix

// `QGPS`: the update of the device at a root, step by step with its status texts.
class TQuickGpsFix {
public:
    explicit TQuickGpsFix(HttpClient &http) : m_http(http) {}

    QuickGpsFix::Addresses Where;
    QString WorkFolder;   // empty: EphemerisWorkFolder (CommonDataFolder + "QGPSFix/")
    int StallMs = 60000;  // a transfer without data this long fails
    QDateTime Now;        // invalid: the current time, given to the files
    std::function<void(const QString &status)> OnStatus;

    // True when all three files were copied to root + "ephem/"; else error() says
    // where it stopped. The status is cleared in either case.
    bool QGPS(const QString &root);
    QString error() const { return m_error; }

    static QString workFolder();

private:
    void status(const QString &text);
    HttpClient &m_http;
    QString m_error;
};
