// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TItnEdit: the itinerary editor, a child window of the main window. It opens,
// edits and writes one ITN file in a TRBItnGrid, one row per point, and offers the
// reversal, duplicate search, find, the point swap by drag and drop, saving as the
// device's current itinerary and the imports (KML file, map link, Targeo route,
// KML pasted into the grid).

#include "exchange/KmlImport.h"
#include "grid/EditorDialogs.h"
#include "platform/Editor.h"

#include <QMessageBox>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <vector>

class IShell;
class QDomDocument;
class QDropEvent;
class QMenu;
class TRBGrid;
class TRBItnGrid;
class TFindDialog;

class TItnEdit : public QWidget, public IEditor, public ISaveAs, public IListCommands, public IMapSource {
    Q_OBJECT
public:
    explicit TItnEdit(IShell &shell, QWidget *parent = nullptr);
    ~TItnEdit() override;

    // ---- IEditor -----------------------------------------------------------------
    EditorKind editorKind() const override { return EditorKind::Itinerary; }
    bool isModified() const override { return m_modified; }
    int gridRowCount() const override;
    // SaveITN(document path) when it names a file, else SaveAs. Throws KorvixError
    // when a file cannot be written.
    void Save() override;
    void SaveAs() override;
    void ShowFind() override;
    void Duplicates() override;
    // The points the map shows as a route, and a point it adds as a waypoint.
    MapPayload mapPayload() override;
    void addMapPoint(const QString &longitude, const QString &latitude, const QString &name) override
    {
        AddItn(longitude, latitude, name);
    }

    // ---- published operations ------------------------------------------------------
    // Reads an ITN file into the grid; a file without lines changes nothing. Throws
    // KorvixError when it cannot be read (the grid keeps what it had).
    void Open(const QString &path);
    // An empty itinerary whose document path is `path`: the device's itinerary folder
    // with a trailing "/" (the tree's "New"), or empty (File > New > Itn).
    void New(const QString &path);
    // Writes the grid; from 48 points on asks whether to split ("Uwaga!"). Returns
    // false when the question was cancelled. Throws KorvixError on a write error.
    bool SaveITN(const QString &path);
    // Appends a point given in decimal degrees ("." separator); a new itinerary's one
    // empty row is used instead.
    void AddItn(const QString &lon, const QString &lat, const QString &name);
    // The same for many points at once (imports), in order.
    void AddItnPoints(const std::vector<Itn::ImportedPoint> &points);
    void Cap(bool modified);
    // Adds the placemarks of a KML document; "Invalid Kml file" when it is none.
    void ImportKML(const QDomDocument &doc);
    void ImportKML(const QByteArray &bytes);

    // ---- Tools menu ------------------------------------------------------------------
    void Reverse1Click();
    void SaveAsCurrent1Click();
    void ImportzTargeo1Click();
    void Link1Click();
    void Kml1Click();
    void importTargeoFile(const QString &path);

    // The find dialog's "find next": the name column only.
    void FindDialogFind(const QString &text, bool down, bool matchCase);
    // The drop of a dragged point: rows `from` and `to` exchange their points.
    // Returns false when the drop is not taken.
    bool SwapPoints(int from, int to);
    // Drag enter, move and drop over the grid's cells (the viewport's coordinates):
    // taken only for a point dragged from this grid onto another data row.
    void PointDragEvent(QDropEvent *event);

    QString documentPath() const { return m_path; }
    TRBItnGrid *ItnGrid() const { return m_grid; }
    // The "Tools" menu; shown in a bar of the window until the main window takes it
    // into its own menu bar (then call hideOwnMenuBar()).
    QMenu *toolsMenu() const { return m_tools; }
    QMenu *editorMenu() override { return m_tools; }
    QMenu *exportMenu() override;
    void hideOwnMenuBar() override;

    EditorDialogs dialogs;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ItnGridPaste(TRBGrid *sender, QString &text, bool &ok);
    void guarded(const std::function<void()> &command);
    bool saveAsDialog();
    void resetGrid();

    IShell &m_shell;
    TRBItnGrid *m_grid;
    QMenu *m_tools;
    QWidget *m_bar;
    TFindDialog *m_find = nullptr;
    QString m_path;
    bool m_modified = false;
    // The drag of a point: pressed cell and position.
    bool m_pressed = false;
    QPoint m_pressPos;
    int m_dragCol = -1, m_dragRow = -1;
};
