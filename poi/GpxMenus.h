// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GPX and KML entries both list editors share: Export > GPX / KML of the list,
// and Import > GPX into it. The editor supplies its rows and its own way of adding
// points (AddPoi, AddItnPoints), so an import is what a user's adding would be.

#include "exchange/Gpx.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QMenu;
class QWidget;
class TRBParamsTable;

class GpxExchange : public QObject {
    Q_OBJECT
public:
    enum class List { Pois, Itinerary };

    struct Hooks {
        std::function<const TRBParamsTable &()> table;
        // The document's path or folder: where the file dialogs start, and the title.
        std::function<QString()> documentPath;
        std::function<void(const std::vector<GeoPoint> &)> add;
    };
    // The questions; tests answer them instead of a user.
    struct Dialogs {
        // Empty = cancelled.
        std::function<QString(QWidget *parent, const QString &start, const QString &filter)> saveFile;
        std::function<QString(QWidget *parent, const QString &start, const QString &filter)> openFile;
        // How many of a track's `total` points an itinerary keeps; 0 = cancelled.
        std::function<int(QWidget *parent, int total, int proposed)> trackCount;
        std::function<void(QWidget *parent, const QString &caption, const QString &text)> message;
    };

    GpxExchange(QWidget *editor, List kind, Hooks hooks);

    // "Export" with "GPX..." and "KML..." appended to `menu`; "GPX..." appended to `import`.
    QMenu *addExportMenu(QMenu *menu);
    QMenu *exportMenu() const { return m_exportMenu; }
    void addImportAction(QMenu *import);

    // The commands with the file already chosen. Problems are shown as messages;
    // false then.
    bool exportGpx(const QString &path);
    bool exportKml(const QString &path);
    bool importGpx(const QString &path);

    Dialogs dialogs;

private:
    QString title() const;
    QString startFolder() const;
    bool guarded(const std::function<void()> &work);
    bool exportAs(QStringView suffix, const QString &path);

    QWidget *m_editor;
    QMenu *m_exportMenu = nullptr;
    List m_kind;
    Hooks m_hooks;
};
