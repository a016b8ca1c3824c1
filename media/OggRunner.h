#pragma once
#include <QString>
#include <QStringList>

class TWave;

// The folder of the Ogg programs' work files: CommonDataFolder + "ogg/".
QString OggWorkFolder();

// Runs the external Ogg Vorbis decoder and encoder in the work folder. They share
// one pair of work files ("tmp.ogg", "tmp.wav") and run one at a time on the UI
// thread, so conversions never overlap. Every editor window owns one runner.
class TOggRunner {
public:
    // Program names without a folder are looked up in the working folder first and
    // on PATH after it.
    static constexpr const char *Decoder = "oggdec";
    static constexpr const char *Encoder = "oggenc";

    explicit TOggRunner(const QString &folder = OggWorkFolder());

    QString folder() const { return m_folder; }
    void setFolder(const QString &folder);
    // A run that lasts longer is ended and counts as failed, so a hung program
    // cannot freeze the window for ever.
    void setTimeLimit(int ms) { m_timeLimitMs = ms; }
    int timeLimit() const { return m_timeLimitMs; }

    QString workOgg() const;   // folder + "tmp.ogg"
    QString workWave() const;  // folder + "tmp.wav"

    // Starts `program` hidden in `folder` and waits for it. True when it started,
    // ended by itself within the time limit and reported success.
    bool RunHidden(const QString &program, const QStringList &arguments, const QString &folder) const;
    // The program file RunHidden would start, empty when there is none.
    static QString findProgram(const QString &program, const QString &folder);

    // `source` (an Ogg Vorbis file anywhere) to the work wave.
    bool OggDecode(const QString &source) const;
    // The work wave, written by the caller, to the work Ogg file.
    bool OggEncode() const;
    // Writes `wave` as the work wave, then encodes it; throws KorvixError when the
    // work wave cannot be written.
    bool OggEncode(const TWave &wave) const;
    // Copies the work Ogg file over `target` through QSaveFile; false when there is
    // none or the copy fails.
    bool CopyWorkOggTo(const QString &target) const;

    // "vorbis Mono 22050Hz", "vorbis 2 channels 44100Hz"; empty when the file does
    // not start with a Vorbis identification header.
    static QString OggInfo(const QString &path);

private:
    bool ensureFolder() const;

    QString m_folder;
    int m_timeLimitMs = 60000;
};

// Copies a file through QSaveFile (the target is replaced atomically).
bool CopyFileAtomically(const QString &source, const QString &target);
