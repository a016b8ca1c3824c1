// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/RasterPage.h"

#include "platform/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace RasterPage {

namespace {

QByteArray resource(const char *name)
{
    QFile f(QStringLiteral(":/map/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonObject words()
{
    static const char *const list[][2] = {
        {"find", QT_TRANSLATE_NOOP("RasterPage", "Find & Show")},
        {"notFound", QT_TRANSLATE_NOOP("RasterPage", " not found!")},
        {"getImage", QT_TRANSLATE_NOOP("RasterPage", "Get Image")},
        {"menu", QT_TRANSLATE_NOOP("RasterPage", "MENU")},
        {"satellite", QT_TRANSLATE_NOOP("RasterPage", "Satellite View")},
        {"normal", QT_TRANSLATE_NOOP("RasterPage", "Normal View")},
    };
    QJsonObject out;
    for (const auto &w : list)
        out.insert(QLatin1String(w[0]), QCoreApplication::translate("RasterPage", w[1]));
    return out;
}

} // namespace

QString pageHtml(const MapPage::Config &config)
{
    QJsonArray tiles;
    for (const MapPage::TileSource &t : config.tiles)
        tiles.append(QJsonObject{{"name", t.name}, {"url", t.url}});
    const QJsonObject root{{"tiles", tiles}, {"search", config.services.search}, {"words", words()}};
    QString json = QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact));
    // Nothing of the settings may end the script element.
    json.replace(QLatin1String("</"), QLatin1String("<\\/"));
    json.replace(QLatin1String("<!--"), QLatin1String("<\\!--"));
    QString page = QString::fromUtf8(resource("getraster.html"));
    page.replace(QLatin1String("@CONFIG@"), json);
    return page;
}

QString writeFiles(const QString &folder, const MapPage::Config &config)
{
    const QDir dir(folder);
    for (const char *script : {"hostbridge.js", "getraster.js"})
        if (QString e = AtomicFile::write(dir.filePath(QLatin1String(script)), resource(script)); !e.isEmpty())
            return e;
    return AtomicFile::write(dir.filePath(QStringLiteral("TmpPOI.htm")), RasterPage::pageHtml(config).toUtf8());
}

} // namespace RasterPage
