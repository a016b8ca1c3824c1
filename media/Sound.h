// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Editor.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>

class IShell;
class QMenu;
class TAudioKit;
class TRBSoundBox;

// The sound editor: one stand-alone sound (Ogg Vorbis or wave) of a device's
// "Sounds" folder in a waveform box that fills the window. The main window's sound
// toolbar records, plays, cuts and normalises it; "Tools" > "Silence" zeroes the
// selection.
class TSound : public QWidget, public IEditor, public ISaveAs, public ISoundCommands {
    Q_OBJECT
public:
    explicit TSound(IShell &shell, QWidget *parent = nullptr);
    ~TSound() override;

    EditorKind editorKind() const override { return EditorKind::Sound; }
    bool isModified() const override { return Modified; }
    bool isRecording() const override;
    bool isPlaying() const override;
    bool isWaveEmpty() const override;
    bool hasWaveSelection() const override;

    void Save() override { saveNow(); }
    void SaveAs() override { saveAsNow(); }
    void PlaySound() override;
    void RecSound() override;
    void StopSound() override;
    void ImportSound() override;
    void DeleteSound() override;
    void CropSound() override;
    void NormalizeSound() override;
    QMenu *editorMenu() override { return m_tools; }
    void hideOwnMenuBar() override;

    // A file: ".ogg" (any case) through the decoder, anything else as a wave file. A
    // folder (ending in "/") or nothing: a new sound to be saved there. A file that
    // cannot be read leaves the sound empty and unmodified, with a message.
    void OpenSound(const QString &path);
    // Writes Ogg Vorbis for an ".ogg" target, else a wave file. False, with the
    // message "Problem with saving files!", when nothing could be written: the target
    // stays as it was and the sound stays modified. Throws KorvixError when the work
    // wave cannot be written.
    bool SaveSound(const QString &target);
    void Silence1Click();
    void Cap(bool modified);

    QString soundPath() const { return SoundPath; }
    TAudioKit &audio() const { return *m_audio; }
    TRBSoundBox *soundBox() const;
    QMenu *toolsMenu() const { return m_tools; }

    // The questions the window asks; tests answer them instead of a user.
    struct Prompts {
        // "Do you want to save changes?": Yes, No or Cancel (Escape).
        std::function<QMessageBox::StandardButton(QWidget *parent)> askSave;
        // The save dialog starting in `dir`; empty = cancelled.
        std::function<QString(QWidget *parent, const QString &dir)> saveFile;
        // The import dialog; empty = cancelled.
        std::function<QString(QWidget *parent)> openSound;
        std::function<void(QWidget *parent, const QString &text)> message;
    };
    Prompts prompts;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool saveNow();
    bool saveAsNow();

    IShell &m_shell;
    QString SoundPath;
    bool Modified = false;
    TAudioKit *m_audio;
    QMenu *m_tools;
    QWidget *m_bar;
};
