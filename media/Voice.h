// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/VoiceFile.h"
#include "platform/Editor.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class IShell;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class TAudioKit;
class TRBGrid;
class TRBSoundBox;

// The voice editor: the 59 phrases of a voice in a table, its name, gender, language,
// flag and picture, and the sound commands on the current phrase. The phrases live in
// fixed phrase files while the voice is open, so only one voice editor exists at a time.
class TVoice : public QWidget, public IEditor, public ISaveAs, public IListCommands, public ISoundCommands {
    Q_OBJECT
public:
    // Row marks (cell flag bits): read from the container, damaged or not held, edited
    // and not yet encoded.
    static constexpr quint32 ReadBit = 1, DamagedBit = 4, EditedBit = 8;
    static constexpr quint32 DamagedFrame = ReadBit | DamagedBit;
    // Ticks of 10 ms before the current row's phrase is loaded: after a single move,
    // and after a further move while a load is pending.
    static constexpr int FirstLoadTicks = 55, FurtherLoadTicks = 30;
    static constexpr int TickMs = 10;

    explicit TVoice(IShell &shell, QWidget *parent = nullptr);
    ~TVoice() override;

    // The open voice editor, if there is one.
    static TVoice *openEditor();

    EditorKind editorKind() const override { return EditorKind::Voice; }
    bool isModified() const override { return Modified; }
    bool isRecording() const override;
    bool isPlaying() const override;
    bool isWaveEmpty() const override;
    bool hasWaveSelection() const override;
    bool isSampleLoading() const override { return Loading; }
    bool isSampleEdited() const override { return SampleEdited; }
    int gridRowCount() const override;

    void Save() override;
    void SaveAs() override;
    void PlaySound() override;
    void RecSound() override;
    void StopSound() override;
    void DelSound() override { RedoSound(); }
    void ImportSound() override;
    void SaveSound() override;
    void DeleteSound() override;
    void CropSound() override;
    void NormalizeSound() override;
    QMenu *editorMenu() override { return m_tools; }
    void hideOwnMenuBar() override;

    // Reads the three files of a voice (`path` is any of them). Throws KorvixError when
    // the container cannot be opened; a damaged container or phrase marks rows instead.
    void OpenVoice(const QString &path);
    // Writes the three files under the names of `path`. Throws KorvixError (and writes
    // nothing) when a phrase is missing or too long, or when a write fails.
    void SaveVoice(const QString &path);
    void Cap(bool modified);
    void ImageClick();
    void RedoSound();
    // Tools > "Speak all phrases...": asks for the synthesiser's language, then
    // SpeakAllPhrases.
    void SpeakClick();
    // Replaces every phrase by the synthesiser's speech in `speechLanguage`. Throws
    // KorvixError when it cannot speak; the phrases spoken before stay.
    void SpeakAllPhrases(const QString &speechLanguage);

    // The 10 ms tick (also called by tests, in place of the timer).
    void LMDHiTimer1Timer();
    // The table asks before the current row moves.
    void RBGrid1SelectCell(int row, bool &canSelect);

    QString voicePath() const { return VoicePath; }
    QString phraseFolder() const { return m_phraseFolder; }
    // Tests point the phrase files elsewhere; the default is UserDataFolder + "Voices/".
    void setPhraseFolder(const QString &folder) { m_phraseFolder = folder; }
    QString phraseFile(int k) const;
    VoiceFile::VifData vifData() const;
    const QImage &picture() const { return m_picture; }
    const std::vector<quint32> &chkHeader() const { return ChkHeader; }
    int currentSample() const { return CurrentSample; }
    int loadCountdown() const { return LoadCountdown; }
    // How many phrases were decoded into the waveform so far.
    int phraseLoads() const { return m_phraseLoads; }

    TRBGrid *grid() const { return m_grid; }
    TAudioKit &audio() const { return *m_audio; }
    TRBSoundBox *soundBox() const;
    QLineEdit *nameEdit() const { return m_name; }
    QComboBox *genderBox() const { return m_gender; }
    QComboBox *languageBox() const { return m_language; }
    QComboBox *flagBox() const { return m_flag; }
    QMenu *toolsMenu() const { return m_tools; }

    // The questions the window asks; tests answer them instead of a user.
    struct Prompts {
        // "Do you want to save changes?": Yes, No or Cancel (Escape).
        std::function<QMessageBox::StandardButton(QWidget *parent)> askSave;
        // The save dialog in `dir` proposing `name`; empty = cancelled.
        std::function<QString(QWidget *parent, const QString &dir, const QString &name)> saveFile;
        // The picture dialog in `dir`; empty = cancelled.
        std::function<QString(QWidget *parent, const QString &dir)> openPicture;
        // The sound import dialog; empty = cancelled.
        std::function<QString(QWidget *parent)> openSound;
        // The synthesiser's language among `languages`, `proposed` first; empty = cancelled.
        std::function<QString(QWidget *parent, const QStringList &languages, const QString &proposed)> speechLanguage;
        // A message about a part of the voice that could not be read or stored.
        std::function<void(QWidget *parent, const QString &text)> message;
    };
    Prompts prompts;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTable();
    void resetRows(int rows);
    void readContainer(const QString &chkPath);
    void readInfoAndPicture();
    void showPicture();
    void setOggInfo(int k);
    void phraseChanged(); // a phrase command changed the waveform
    void loadPhrase();
    void Edit1Change();

    IShell &m_shell;
    QString VoicePath;
    std::vector<quint32> ChkHeader;
    bool Opening = false;
    bool Modified = false;
    int CurrentSample = 1;
    int LoadCountdown = 0;
    bool Loading = true;
    bool SampleEdited = false;
    bool m_inTick = false;
    int m_phraseLoads = 0;
    QString m_phraseFolder;
    QString m_container;   // line 2 of the information file, kept as read
    QImage m_picture;

    TRBGrid *m_grid;
    TAudioKit *m_audio;
    QLineEdit *m_name;
    QComboBox *m_gender, *m_language, *m_flag;
    QLabel *m_pictureView;
    QMenu *m_tools;
    QWidget *m_bar;
    QTimer *m_tick;
};
