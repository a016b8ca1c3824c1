// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/QuickGpsFix.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/Folders.h"
#include "platform/HttpClient.h"
#include "services/CabFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("TQuickGpsFix", text);
}

bool setTime(const QString &path, const QDateTime &when)
{
    QFile f(path);
    return f.open(QIODevice::Append) && f.setFileTime(when, QFileDevice::FileModificationTime);
}
} // namespace

QUrl QuickGpsFix::requestUrl(const QString &host, const QString &path)
{
    // Port 80 unless the host names its own.
    QUrl url(QStringLiteral("http://") + host.trimmed());
    if (url.port() <= 0)
        url.setPort(80);
    const qsizetype q = path.indexOf(QLatin1Char('?'));
    url.setPath(q < 0 ? path : path.left(q), QUrl::TolerantMode);
    if (q >= 0)
        url.setQuery(path.mid(q + 1).replace(QLatin1String("&amp;"), QLatin1String("&")), QUrl::TolerantMode);
    return url;
}

void QuickGpsFix::download(HttpClient &http, const QUrl &url, const QString &file, int stallMs)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        throw KorvixError(tr("Can't write %1").arg(file) + QStringLiteral(": ") + out.errorString());
    QNetworkRequest req = HttpClient::request(url);
    // A transfer that stops sending for this long is given up, however long it ran.
    req.setTransferTimeout(stallMs);
    QNetworkReply *reply = http.manager()->get(req);
    bool writeFailed = false;
    QEventLoop loop;
    QObject::connect(&http, &HttpClient::cancelled, reply, &QNetworkReply::abort);
    http.reportProgress(reply);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&, reply] {
        const QByteArray chunk = reply->readAll();
        if (out.write(chunk) != chunk.size()) {
            writeFailed = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (reply->isOpen()) {
        const QByteArray rest = reply->readAll();
        writeFailed = writeFailed || out.write(rest) != rest.size();
    }
    const HttpClient::Ending end = http.finish(reply);
    if (writeFailed)
        throw KorvixError(tr("Can't write %1").arg(file));
    // The transfer limit ends a stalled transfer as a cancel.
    if (end.error == QNetworkReply::OperationCanceledError)
        throw KorvixError(tr("No answer from %1").arg(url.host()));
    if (end.error != QNetworkReply::NoError || end.status >= 400)
        throw KorvixError(url.toString() + QStringLiteral(": ") + end.reason);
    if (!out.flush() || !out.commit())
        throw KorvixError(tr("Can't write %1").arg(file));
}

void QuickGpsFix::unpack(const QString &cabinet, const QString &folder)
{
    TCABFile cab;
    cab.CABFile = cabinet;
    cab.TargetPath = folder;
    QList<TCABStoredFile> files;
    if (!cab.List(files))
        throw KorvixError(tr("Not a cabinet: %1").arg(cabinet));
    cab.Extract(); // what it could not unpack shows as a missing file when copied
}

const QStringList &QuickGpsFix::ephemerisFiles()
{
    static const QStringList names = {QStringLiteral("ee_meta.txt"), QStringLiteral("packedephemeris.ee"),
                                      QStringLiteral("lto.dat")};
    return names;
}

void QuickGpsFix::touchFiles(const QString &folder, const QDateTime &when)
{
    for (const QString &name : ephemerisFiles()) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            setTime(path, when);
    }
}

QString TQuickGpsFix::workFolder()
{
    return Folders::CommonDataFolder() + QStringLiteral("QGPSFix/");
}

void TQuickGpsFix::status(const QString &text)
{
    if (OnStatus)
        OnStatus(text);
}

bool TQuickGpsFix::QGPS(const QString &root)
{
    using namespace QuickGpsFix;
    m_error.clear();
    const QString work = WorkFolder.isEmpty() ? workFolder() : WorkFolder;
    const QDir workDir(work);
    status(tr("QuickGPSFix"));
    try {
        if (!QDir().mkpath(work))
            throw KorvixError(tr("Can't create %1").arg(work));
        status(tr("globalLocate Downloading..."));
        const QString first = workDir.filePath(QStringLiteral("Ephemeris1.cab"));
        download(m_http, requestUrl(Where.host, Where.globalLocate), first, StallMs);
        status(tr("globalLocate Decompressing"));
        unpack(first, work);
        status(tr("SiRFStarIII Downloading"));
        const QString second = workDir.filePath(QStringLiteral("Ephemeris2.cab"));
        download(m_http, requestUrl(Where.host, Where.sirfStar), second, StallMs);
        status(tr("SiRFStarIII Decompressing"));
        unpack(second, work);

        // The copies carry this time along: the device's files bear the time of the update.
        const QDateTime when = Now.isValid() ? Now : QDateTime::currentDateTime();
        touchFiles(work, when);
        const QString ephem = QDir(root).filePath(QStringLiteral("ephem"));
        if (!QDir().mkpath(ephem))
            throw KorvixError(tr("Can't create %1").arg(ephem));
        status(tr("Copy files"));
        // Each file only when the one before it was copied.
        for (const QString &name : ephemerisFiles()) {
            const QString from = workDir.filePath(name);
            QFile in(from);
            if (!in.open(QIODevice::ReadOnly))
                throw KorvixError(tr("Missing after unpacking: %1").arg(name));
            const QString to = QDir(ephem).filePath(name);
            if (const QString why = AtomicFile::write(to, in.readAll()); !why.isEmpty())
                throw KorvixError(to + QStringLiteral(": ") + why);
            setTime(to, QFileInfo(from).lastModified());
        }
    } catch (const KorvixError &e) {
        m_error = e.message();
    }
    status(QString());
    return m_error.isEmpty();
}
