// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// What a finished full backup holds.
struct TBackupResult {
    QStringList cabinets;   // full paths, the first cabinet first
    int files = 0;          // device files
    qint64 bytes = 0;       // their total size
    QStringList splitFiles; // device files stored as numbered parts (relative paths)
    // Not backed up (relative paths): FIFOs, sockets, devices and symbolic links, which
    // are never followed; and files whose name is too long for a cabinet.
    QStringList notRegular, longNames;
    // "Backup verified: N files, X MB in K cabinets"
    QString verification() const;
    // The verification line and, when there are any, the files stored in parts and the
    // entries left out.
    QString closingMessage() const;
    bool hasRemarks() const { return !splitFiles.isEmpty() || !notRegular.isEmpty() || !longNames.isEmpty(); }
};

// A full backup of a device folder into one cabinet set: every file at every depth,
// MSZIP, times and attributes kept. The set is read back and checked before Run
// returns; on any failure or cancel no cabinet of the set is left.
class TBackup {
public:
    QString Root;      // the device folder
    QString Serial;    // "DeviceSerialNumber" of the device, may be empty
    QString OutFolder; // empty: backupFolder()
    QDateTime When;    // invalid: now
    qint64 MaxCabinetSize = 2147483647;
    // Larger device files are stored as "name.part1", "name.part2", ... of this size:
    // one block less than a cabinet folder holds, since libmspack joins a folder cut
    // between two cabinets only while its blocks, the cut one counted twice, fit a folder.
    qint64 PartBytes = 65534LL * 32768;
    int Threads = 0;

    // Called on the thread that runs Run: a phase text ("Compressing...", "Verifying...")
    // and bytes done of the total. Throttled by the cabinet component.
    std::function<void(const QString &phase, qint64 position, qint64 total)> OnProgress;
    // Polled; true stops the backup and removes the unfinished set.
    std::function<bool()> Cancelled;

    // Throws ECABFileError (a device file that cannot be read names it) or KorvixError.
    // The first cabinet's name is taken exclusively: two backups started in the same
    // second into one folder get two archives.
    TBackupResult Run();

    // The name of the first cabinet: "TT_" + serial + "_" + yyyyMMddhhmmss + ".bak".
    static QString archiveName(const QString &serial, const QDateTime &when);
    // The name of cabinet `number` (2, 3, ...) of the set whose first cabinet is `first`.
    static QString continuationName(const QString &first, int number);
    // UserDataFolder + "BackUp/".
    static QString backupFolder();

    // Where a stored file's bytes come from on the device.
    struct Source {
        QString path;
        qint64 offset = 0, length = 0;
        qint64 fileSize = 0; // of the whole file when it was listed
    };

private:
    QStringList verify(const QString &first, const QHash<QString, Source> &sources, qint64 total);
};
