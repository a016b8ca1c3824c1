// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/GpxMenus.h"

#include "exchange/FormatTable.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>

namespace {
// The chosen name with the kind's extension when it has none.
QString withSuffix(const QString &path, const char *suffix)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + QLatin1String(suffix) : path;
}
} // namespace

GpxExchange::GpxExchange(QWidget *editor, List kind, Hooks hooks)
    : QObject(editor)
    , m_editor(editor)
    , m_kind(kind)
    , m_hooks(std::move(hooks))
{
    dialogs.saveFile = [](QWidget *parent, const QString &start, const QString &filter) {
        return QFileDialog::getSaveFileName(parent, QString(), start, filter);
    };
    dialogs.openFile = [](QWidget *parent, const QString &start, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, QString(), start, filter);
    };
    dialogs.trackCount = [](QWidget *parent, int total, int proposed) {
        bool ok = false;
        const int n = QInputDialog::getInt(parent, QStringLiteral("GPX"),
                                           tr("The track has %1 points. How many should the itinerary keep?").arg(total),
                                           proposed, 2, total, 1, &ok);
        return ok ? n : 0;
    };
    dialogs.message = [](QWidget *parent, const QString &caption, const QString &text) {
        QMessageBox::warning(parent, caption, text);
    };
}

QMenu *GpxExchange::addExportMenu(QMenu *menu)
{
    QMenu *exportMenu = menu->addMenu(tr("Export"));
    m_exportMenu = exportMenu;
    exportMenu->addAction(tr("GPX..."), this, [this] {
        const QString file = dialogs.saveFile(m_editor, startFolder(), tr("GPX files (*.gpx)"));
        if (!file.isEmpty())
            exportGpx(withSuffix(file, "gpx"));
    });
    exportMenu->addAction(tr("KML..."), this, [this] {
        const QString file = dialogs.saveFile(m_editor, startFolder(), tr("KML files (*.kml)"));
        if (!file.isEmpty())
            exportKml(withSuffix(file, "kml"));
    });
    return exportMenu;
}

void GpxExchange::addImportAction(QMenu *import)
{
    import->addAction(tr("GPX..."), this, [this] {
        const QString file = dialogs.openFile(m_editor, startFolder(), tr("GPX files (*.gpx)"));
        if (!file.isEmpty())
            importGpx(file);
    });
}

QString GpxExchange::title() const
{
    const QFileInfo fi(m_hooks.documentPath());
    return fi.fileName().isEmpty() ? QString() : fi.completeBaseName();
}

QString GpxExchange::startFolder() const
{
    const QString path = m_hooks.documentPath();
    return path.isEmpty() || path.endsWith(QLatin1Char('/')) ? path : QFileInfo(path).path();
}

bool GpxExchange::guarded(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const KorvixError &e) {
        dialogs.message(m_editor, tr("Error"), e.message());
        return false;
    }
}

bool GpxExchange::exportGpx(const QString &path)
{
    return exportAs(u"gpx", path);
}

bool GpxExchange::exportKml(const QString &path)
{
    return exportAs(u"kml", path);
}

bool GpxExchange::exportAs(QStringView suffix, const QString &path)
{
    return guarded([&] {
        const bool itinerary = m_kind == List::Itinerary;
        // An itinerary goes out as a route named after the document, a POI list as points.
        PointSet set;
        set.points = Gpx::pointsOfRows(m_hooks.table(), itinerary ? 4 : 3);
        set.route = itinerary;
        set.title = title();
        const DeviceCodec texts;
        QStringList written;
        if (const QString error = FormatTable::exchange().forSuffix(suffix)->write(path, set, {texts, texts}, written);
            !error.isEmpty())
            throw KorvixError(error);
    });
}

// Not through the table's reader: a long track is thinned for an itinerary, so the
// track's points must stay apart from the waypoints and the route.
bool GpxExchange::importGpx(const QString &path)
{
    return guarded([&] {
        GpxContent gpx;
        if (const QString error = Gpx::readFile(path, gpx); !error.isEmpty())
            throw KorvixError(error);
        std::vector<GeoPoint> points = std::move(gpx.waypoints);
        points.insert(points.end(), gpx.routePoints.begin(), gpx.routePoints.end());
        std::vector<GeoPoint> track = std::move(gpx.trackPoints);
        // The device drives 48 points of one itinerary: a long track is thinned.
        const int proposed = 48;
        if (m_kind == List::Itinerary && track.size() > size_t(proposed)) {
            const int keep = dialogs.trackCount(m_editor, int(qMin<size_t>(track.size(), INT_MAX)), proposed);
            if (keep <= 0)
                return;
            track = Gpx::thin(track, size_t(keep));
        }
        points.insert(points.end(), track.begin(), track.end());
        if (points.empty())
            throw KorvixError(Gpx::noPoints());
        m_hooks.add(points);
    });
}
