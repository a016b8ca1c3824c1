// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;
class TWave;

// The folder of the Ogg programs' work files: CommonDataFolder + "ogg/".
QString OggWorkFolder();

// Runs the external Ogg Vorbis decoder and encoder in the work folder. Every
// conversion shares one pair of work files ("tmp.ogg", "tmp.wav"), so each holds an
// exclusive lock on the folder ("tmp.lock") from its first work file to its last:
// conversions of other windows and other processes (the command line beside the
// window) wait for it. Every editor window owns one runner.
class TOggRunner {
    Q_DECLARE_TR_FUNCTIONS(TOggRunner)
public:
    // Program names without a folder are looked up in the working folder first and
    // on PATH after it.
    static constexpr const char *Decoder = "oggdec";
    static constexpr const char *Encoder = "oggenc";

    explicit TOggRunner(const QString &folder = OggWorkFolder());
    TOggRunner(const TOggRunner &other);
    TOggRunner &operator=(const TOggRunner &other);
    ~TOggRunner();

    // Holds the work folder's lock while it lives; nested holds of one runner share
    // it. False when the folder cannot be made; throws KorvixError naming the folder
    // when another conversion keeps it longer than twice the time limit. A lock left
    // by a process that died is taken over.
    class Hold {
    public:
        explicit Hold(const TOggRunner &runner);
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;
        explicit operator bool() const { return m_held; }

    private:
        const TOggRunner &m_runner;
        bool m_held;
    };

    QString folder() const { return m_folder; }
    void setFolder(const QString &folder);
    // A run that lasts longer is ended and counts as failed, so a hung program
    // cannot freeze the window for ever.
    void setTimeLimit(int ms) { m_timeLimitMs = ms; }
    int timeLimit() const { return m_timeLimitMs; }

    QString workOgg() const;   // folder + "tmp.ogg"
    QString workWave() const;  // folder + "tmp.wav"
    QString lockFile() const;  // folder + "tmp.lock"

    // Starts `program` hidden in `folder` and waits for it. True when it started,
    // ended by itself within the time limit and reported success.
    bool RunHidden(const QString &program, const QStringList &arguments, const QString &folder) const;
    // The program file RunHidden would start, empty when there is none.
    static QString findProgram(const QString &program, const QString &folder);

    // Whole conversions, locked from start to end: `source` (an Ogg Vorbis file
    // anywhere) into `wave` as the decoder wrote it (`wave` changes only on success);
    // `wave` into the Ogg Vorbis file `target` (replaced atomically).
    bool DecodeOggFile(const QString &source, TWave &wave) const;
    bool EncodeOggFile(const TWave &wave, const QString &target) const;

    // The steps of a conversion. Each locks the folder for itself; a caller that
    // reads or writes the work files between steps holds a Hold around them all.
    // `source` (an Ogg Vorbis file anywhere) to the work wave.
    bool OggDecode(const QString &source) const;
    // The work wave, written by the caller, to the work Ogg file.
    bool OggEncode() const;
    // Writes `wave` as the work wave, then encodes it; throws KorvixError when the
    // work wave cannot be written.
    bool OggEncode(const TWave &wave) const;
    // Copies the work Ogg file over `target` atomically; false when there is none,
    // KorvixError naming `target` when it cannot be written.
    bool CopyWorkOggTo(const QString &target) const;

    // "vorbis Mono 22050Hz", "vorbis 2 channels 44100Hz"; empty when the file does
    // not start with a Vorbis identification header.
    static QString OggInfo(const QString &path);

private:
    bool ensureFolder() const;
    bool acquire() const;
    void release() const;

    QString m_folder;
    int m_timeLimitMs = 60000;
    mutable std::unique_ptr<QLockFile> m_lock;
    mutable int m_holds = 0;
};

// Copies a file over `target` atomically: false when `source` cannot be read, KorvixError
// naming `target` with the system's reason when it cannot be written.
bool CopyFileAtomically(const QString &source, const QString &target);
