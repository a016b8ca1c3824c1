// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TOV2: the POI editor window. One POI overlay (a list saved as an .ov2 file) with
// the category's small and large icon and its warning sound, which the device finds
// beside the list under the same base name.

#include "grid/EditorDialogs.h"
#include "platform/Editor.h"

#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class IShell;
namespace Feeds {
struct Result;
}
class TAudioKit;
class EscapeWatch;
class TFindDialog;
class TRBGrid;
class TRBSoundBox;
class QMenu;
class QMenuBar;
class QSplitter;

class TOV2 : public QWidget,
             public IEditor,
             public ISaveAs,
             public IListCommands,
             public ISoundCommands,
             public IMapSource {
    Q_OBJECT
public:
    // DirtyMask bits.
    enum : int { ListBit = 1, IconsBit = 2, SoundBit = 4, AllBits = 7 };

    explicit TOV2(IShell &shell, QWidget *parent = nullptr);
    ~TOV2() override;

    // ---- IEditor --------------------------------------------------------------------
    EditorKind editorKind() const override { return EditorKind::Poi; }
    bool isModified() const override { return DirtyMask != 0; }
    bool isRecording() const override;
    bool isPlaying() const override;
    bool isWaveEmpty() const override;
    bool hasWaveSelection() const override;
    int gridRowCount() const override;
    void Save() override;
    void SaveAs() override;
    void ShowFind() override;
    void Duplicates() override;
    void SelectText() override;
    void SelectRegion() override;
    void PlaySound() override;
    void RecSound() override;
    void StopSound() override;
    void DelSound() override;
    void ImportSound() override;
    void DeleteSound() override;
    void CropSound() override;
    void NormalizeSound() override;
    // The list and its icon as the map shows them; a point the map adds as a row.
    MapPayload mapPayload() override;
    void addMapPoint(const QString &longitude, const QString &latitude, const QString &name) override
    {
        AddPoi(longitude, latitude, name);
    }
    QMenu *editorMenu() override { return m_tools; }
    QMenu *exportMenu() override;
    void hideOwnMenuBar() override;
    // Tools > Import: hidden while it has no entries.
    QMenu *importMenu() const { return m_import; }

    // ---- documents ------------------------------------------------------------------
    // A new list in `folder` (the map folder's path, with or without the trailing
    // "/"); the default icon; unsaved.
    void New(const QString &folder);
    // Reads the list, then the icons and the sound beside it. On a read error the
    // message box "Can't open OV2 file" is shown, the rows read so far stay, the
    // document keeps only the file's folder (a save asks for a name) and false is
    // returned (the icons and sound are not read then).
    bool OpenOV2(const QString &file);
    // One category of the device's poi.dat ("7311:Petrol Station"). The document has
    // no file name: a save asks for one. Throws KorvixError on a read error.
    void OpenTTPoi(const QString &file, const QString &category);
    // A point in decimal degrees as a new row (a new list's one empty row is used
    // instead), marked as added; the description without blanks at its ends and, as
    // every appended field, without line breaks.
    void AddPoi(const QString &longitude, const QString &latitude, const QString &description);
    // Both road-authority feeds into the list. With a folder (the tree's node) the list
    // becomes its "GDDKIA.ov2"; `badge` is drawn onto the small icon. A failed download
    // says so and opens the stored file instead.
    void GDKIA(const QString &folder, const QImage &badge);
    // Tools > Import's other entries; errors go out as KorvixError, to the
    // application's error box.
    void KrakwUtrudnienia1Click();
    void ZakopaneKwatery1Click();
    void WEB1Click();
    void MapSettingscfg1Click();
    // "GoogleMaps" > "Kml": a KML file's placemarks; > "Link": the map link on the
    // clipboard, its point or the KML its site answers.
    void Kml1Click();
    void Link1Click();
    // Adds the placemarks of a KML document as one step back; "Invalid Kml file" when
    // it is none (the points found before stay).
    void ImportKML(const QByteArray &bytes);
    // The list and its companions under `file`'s base name. Shows "Problem with saving
    // files!" on failure; returns whether everything was written.
    bool SavePOI(const QString &file);
    // SaveAs with the choice already made: filter 1 OV2, 2 plain csv, 3 asc, 4 quoted
    // csv. Returns whether the file was written.
    bool saveAsTo(const QString &chosen, int filter);
    void NeedSave(int bits);
    void Saved(int bits);

    // The list commands.
    void InsertRow();   // the Insert key
    void EditPoi();     // "Edit POI"
    // The find dialog's search ("Find Next").
    void findNext(const QString &text, bool down, bool matchCase);
    static QString matchesText(int n); // "N matches" in the status bar
    // SelectText / Duplicates with the answer given (the input box, the setting).
    void selectText(const QString &text);
    void findDuplicates(int maxDistance);
    // Icons: what a click (edit) and a right-button release (empty) do.
    void editIcon(bool large);
    void clearIcon(bool large);

    // ---- state ----------------------------------------------------------------------
    QString FileName;
    int DirtyMask = 0;
    QString FindText;

    TRBGrid *grid() const { return m_grid; }
    TAudioKit &audio() const { return *m_audio; }
    TRBSoundBox *soundBox() const;
    QImage smallIcon() const { return m_small; }
    QImage largeIcon() const { return m_large; }
    void setSmallIcon(const QImage &icon);
    void setLargeIcon(const QImage &icon);
    TFindDialog *findDialog() const;
    // Where the small map panel goes, on the right of the list.
    QSplitter *listSplitter() const { return m_split; }
    // The default POI icon (22 x 22).
    static QImage defaultIcon();

    // The questions and file dialogs the window asks; tests answer them instead of a user.
    EditorDialogs dialogs;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Parts;
    void installImports();
    void addAll(const Feeds::Result &result);
    void Cap();
    QString baseName() const;
    void loadCompanions(QStringList &warnings);
    bool loadSoundFile(const QString &path, bool decode);
    void gridChanged();

    IShell &m_shell;
    QString m_captionBase; // what the caption shows before the "*"
    QImage m_small, m_large;
    TRBGrid *m_grid = nullptr;
    TAudioKit *m_audio = nullptr;
    QWidget *m_smallFrame = nullptr, *m_largeFrame = nullptr;
    QSplitter *m_split = nullptr;
    QMenuBar *m_bar = nullptr;
    QMenu *m_tools = nullptr;
    QMenu *m_import = nullptr;
    QMenu *m_context = nullptr;
    QPointer<TFindDialog> m_find;
    // F3 repeats the find dialog's search after it, and steps the marked rows after Select.
    bool m_stepFinds = false;
    bool m_findMatchCase = false;
    // The rows the last search text matches, counted once per text.
    QString m_countedText;
    int m_matchCount = 0;
    // The duplicate search while it runs; closing the window stops it.
    EscapeWatch *m_job = nullptr;
};
