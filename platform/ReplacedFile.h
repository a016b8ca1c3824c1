// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QFile>
#include <QString>

// A file written beside its target under the shared temporary prefix and renamed over it
// only once it is complete and closed, so the old file stays until then. It has no data
// sync of its own: commands that write many files (unpack, restore) sync their file
// system once at the end (AtomicFile::syncFileSystem) and report success only after it.
class ReplacedFile {
public:
    explicit ReplacedFile(const QString &target);
    ~ReplacedFile(); // an uncommitted temporary goes
    ReplacedFile(const ReplacedFile &) = delete;
    ReplacedFile &operator=(const ReplacedFile &) = delete;

    // Creates the temporary; the system's reason on failure.
    QString open();
    // Unbuffered, so a failed write shows at once.
    QIODevice &device() { return m_file; }
    // Sets the time and permissions (a replaced file keeps its own, `readOnly` takes the
    // write permissions away), closes with the result checked and renames over the
    // target; the reason on failure.
    QString commit(const QDateTime &time, bool readOnly);

    const QString &target() const { return m_target; }

private:
    QString m_target, m_temporary;
    QFile m_file;
    int m_fd = -1;
    unsigned m_mode = 0;
    bool m_committed = false;
};
