// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class BackgroundFiles;
class RestoreSetReader;

// One device file of a backup, compared with the device.
struct TRestoreItem {
    enum State { New, Changed, Same };
    QString name;     // relative to the device root, "/" separators
    QList<int> parts; // the set's files that make it, in order (one unless it was split)
    qint64 size = 0;
    QDateTime time;
    int attributes = 0;
    State state = New;
    qint64 deviceSize = -1; // -1: not on the device
    QDateTime deviceTime;
    static QString stateText(State s); // "new", "changed", "same"
};

// Brings the files of a full backup back into a device folder: each file renamed over
// the old one once whole, with its time, numbered parts joined, never outside the device
// folder; the device is synced once at the end.
class TRestore {
public:
    TRestore(const QString &backupFile, const QString &root);
    ~TRestore();

    // Reads the set and compares it with the device; throws KorvixError.
    void Load();
    const QList<TRestoreItem> &Items() const { return m_items; }
    // Stored names that would land outside the device folder; never restored.
    const QStringList &Refused() const { return m_refused; }
    QStringList Cabinets() const;

    // Bytes written of the total to restore.
    std::function<void(qint64 position, qint64 total)> OnProgress;
    // Polled; true stops after the file being written is dropped.
    std::function<bool()> Cancelled;

    // Restores the named items (all when empty) and returns how many were written.
    // An item that fails is left as it was and the rest go on; at the end a KorvixError
    // lists every failure (one line each, also in Failures()). A cancel throws at once;
    // files restored before stay, the one being written is left as it was.
    int Restore(const QStringList &names = {});
    const QStringList &Failures() const { return m_failures; }
    // The items named (relative names, "/" or "\\" separators; all when empty).
    QList<TRestoreItem> Chosen(const QStringList &names) const;
    // Restore(names) with names that match no item: those names.
    QStringList Unknown(const QStringList &names) const;

private:
    // The failure, or an empty text when handed to `files` (or stopped).
    QString restoreItem(const TRestoreItem &item, qint64 &done, qint64 total, bool &stopped, BackgroundFiles &files);
    QString m_file, m_root;
    std::unique_ptr<RestoreSetReader> m_reader;
    QList<TRestoreItem> m_items;
    QStringList m_refused;
    QStringList m_failures;
};
