// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

class QMenu;
class QWidget;
class TRBParamsTable;

enum class EditorKind { Poi, Itinerary, Sound, Voice, Image, Scheme, Map };

// What the main window sees of every editor window: its kind, its state and its
// menus. What only some editors have is a capability below, asked for with as<T>().
class IEditor {
public:
    virtual ~IEditor() = default;
    virtual EditorKind editorKind() const = 0;
    virtual bool isModified() const { return false; }
    virtual void Save() {}

    // The editor's own menu ("Tools"): the main window shows it in its menu bar
    // while the editor is active, and the editor then hides its own bar.
    virtual QMenu *editorMenu() { return nullptr; }
    // The editor's export entries: the main window shows them under File > Export
    // while the editor is active.
    virtual QMenu *exportMenu() { return nullptr; }
    virtual void hideOwnMenuBar() {}

    // The capability `T` when this editor has it, else null.
    template <class T> T *as() { return dynamic_cast<T *>(this); }
    template <class T> const T *as() const { return dynamic_cast<const T *>(this); }
};

// Saving under another name.
class ISaveAs {
public:
    virtual ~ISaveAs() = default;
    virtual void SaveAs() = 0;
};

// A grid of rows: searching, marking and duplicates.
class IListCommands {
public:
    virtual ~IListCommands() = default;
    virtual int gridRowCount() const = 0;           // header row included
    virtual void ShowFind() {}
    virtual void Duplicates() {}
    virtual void SelectText() {}
    virtual void SelectRegion() {}
};

// A sound of the editor's own: playing, recording and editing it.
class ISoundCommands {
public:
    virtual ~ISoundCommands() = default;
    virtual bool isRecording() const = 0;
    virtual bool isPlaying() const = 0;
    virtual bool isWaveEmpty() const = 0;
    virtual bool hasWaveSelection() const = 0;
    virtual bool isSampleLoading() const { return false; }   // voice editor
    virtual bool isSampleEdited() const { return false; }    // voice editor
    virtual void PlaySound() = 0;
    virtual void RecSound() = 0;
    virtual void StopSound() = 0;
    virtual void DelSound() {}      // voice editor: RedoSound
    virtual void ImportSound() = 0;
    virtual void SaveSound() {}
    virtual void DeleteSound() = 0;
    virtual void CropSound() = 0;
    virtual void NormalizeSound() = 0;
};

// What the map shows of a list editor: its rows (longitude, latitude, text in
// columns 1-3 from row 1, the row marks choosing what is shown) and, for a POI list,
// its icon.
struct MapPayload {
    enum class Kind { PoiList, Itinerary };
    Kind kind = Kind::PoiList;
    const TRBParamsTable *rows = nullptr;
    QImage icon;
};

// A list the map shows and takes points into.
class IMapSource {
public:
    virtual ~IMapSource() = default;
    // The rows as they stand, a cell being edited included.
    virtual MapPayload mapPayload() = 0;
    // A point picked on the map, appended as a row.
    virtual void addMapPoint(const QString &longitude, const QString &latitude, const QString &name) = 0;
};
