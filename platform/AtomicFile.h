// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class ChunkedOut;

// Every file the program writes goes through here: a temporary file beside the target,
// written, data-synced and closed with every step checked, renamed over the target and
// the folder synced, so neither a failed save, a full disk, a kill nor a stick pulled
// right after "saved" destroys the old file. Failures are the system's reason (such as
// "No space left on device"); callers put the file's name in front.
namespace AtomicFile {
// Returns an empty text on success, else the reason.
QString write(const QString &path, const QByteArray &data);
// The same for output produced piece by piece: `fill` writes into the chunks. An
// exception from `fill` leaves the old file and goes on to the caller.
QString writeStreamed(const QString &path, const std::function<void(ChunkedOut &)> &fill);

// Our temporaries are named with this prefix, so the tree never shows them and the next
// save of the same target removes those a killed run left behind.
inline constexpr char TemporaryPrefix[] = ".korvix-tmp.";
bool isTemporaryName(const QString &fileName);

// A new file for `target`, written beside it and put in place only by commit() (or,
// together with others, by replaceAll()). Dropped uncommitted, the temporary goes.
class Pending {
public:
    explicit Pending(const QString &target);
    ~Pending();
    Pending(const Pending &) = delete;
    Pending &operator=(const Pending &) = delete;

    // Creates the temporary; the reason on failure.
    QString open();
    // The temporary, open for reading and writing, unbuffered.
    QFile &file() { return m_file; }
    // Writes all of `n` bytes, retrying short writes; false keeps the reason in error().
    bool put(const char *data, qsizetype n);
    // Data sync and close, both checked. Needed before replaceAll().
    QString finish();
    // finish(), rename over the target, sync the folder.
    QString commit();

    const QString &target() const { return m_target; }
    const QString &temporaryPath() const { return m_temporary; }
    QString error() const { return m_error; }

private:
    QString m_target;
    QString m_temporary;
    QFile m_file;
    int m_writeFd = -1;
    int m_lockFd = -1;
    bool m_finished = false;
    bool m_committed = false;
    QString m_error;
    friend QString replaceAll(const std::vector<Pending *> &, const QStringList &);
};

// Puts finished pending files in place and removes `obsolete` files, all or nothing: when
// a rename fails, the files already replaced get their old contents back and the
// reason (naming the file) is returned. The folders are synced after.
QString replaceAll(const std::vector<Pending *> &files, const QStringList &obsolete = {});

// A new, empty temporary beside `target` under our prefix, created exclusively: its
// descriptor (read and write) and path, or -1 with the reason. `mode` receives the
// permissions the file should end with: those of the target it replaces, else the
// new file's own.
int createTemporary(const QString &target, QString *path, unsigned *mode, QString *why);

// One fsync of the folder, so a rename in it survives a power cut or a pulled stick.
QString syncFolder(const QString &dir);
// One sync of the whole file system holding `path` (after many files were written).
QString syncFileSystem(const QString &path);
// The system's text for an error number.
QString reason(int errorNumber);
} // namespace AtomicFile
