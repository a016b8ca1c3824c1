// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QMenu;
class QWidget;

enum class EditorKind { Poi, Itinerary, Sound, Voice, Image, Scheme, Map };

// What the main window's shared commands see of an editor window. Each editor
// implements the state it has and the commands it offers; the rest keeps these
// neutral defaults.
class IEditor {
public:
    virtual ~IEditor() = default;
    virtual EditorKind editorKind() const = 0;

    // State read by the enabling rules.
    virtual bool isModified() const { return false; }
    virtual bool isRecording() const { return false; }
    virtual bool isPlaying() const { return false; }
    virtual bool isWaveEmpty() const { return true; }
    virtual bool hasWaveSelection() const { return false; }
    virtual bool isSampleLoading() const { return false; }   // voice editor
    virtual bool isSampleEdited() const { return false; }    // voice editor
    virtual int gridRowCount() const { return 0; }           // header row included

    // Routed commands.
    virtual void Save() {}
    virtual void SaveAs() {}
    virtual void ShowFind() {}
    virtual void Duplicates() {}
    virtual void SelectText() {}
    virtual void SelectRegion() {}
    virtual void PlaySound() {}
    virtual void RecSound() {}
    virtual void StopSound() {}
    virtual void DelSound() {}      // voice editor: RedoSound
    virtual void ImportSound() {}
    virtual void SaveSound() {}
    virtual void DeleteSound() {}
    virtual void CropSound() {}
    virtual void NormalizeSound() {}
    virtual void ShowGoogleAPI(QWidget *mapView) { (void)mapView; }

    // The editor's own menu ("Tools"): the main window shows it in its menu bar
    // while the editor is active, and the editor then hides its own bar.
    virtual QMenu *editorMenu() { return nullptr; }
    // The editor's export entries: the main window shows them under File > Export
    // while the editor is active.
    virtual QMenu *exportMenu() { return nullptr; }
    virtual void hideOwnMenuBar() {}
};
