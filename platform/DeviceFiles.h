// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Device file systems are FAT: names compare without regard to case. Every lookup of
// a named device file goes through here, so a copy on a case-sensitive disk behaves
// like the device.
namespace DeviceFiles {

// The path of `name` inside `dir` as it is spelt on disk, or empty when absent.
QString find(const QString &dir, const QString &name);
bool exists(const QString &dir, const QString &name);
// True when `name` is an ordinary file (not a folder) in `dir`.
bool isFile(const QString &dir, const QString &name);

// The contents of a device file, read only when `path` (after following links) is a
// regular file of at most `cap` bytes. A FIFO, a device node, a folder or a larger
// file gives nothing, at once: a hostile name on a device must neither block the tree
// nor fill the memory.
std::optional<QByteArray> readRegular(const QString &path, qint64 cap);
// The first `count` bytes (fewer when the file is shorter) of a regular file of any
// size, for readers that need only a header.
std::optional<QByteArray> readRegularHead(const QString &path, qint64 count);

} // namespace DeviceFiles

// One folder listed once: its entries in the order the file system gives them and a
// case-insensitive index, for loops that look up many companions in a large folder.
class DirListing {
public:
    explicit DirListing(const QString &dir);

    const QString &dir() const { return m_dir; }
    // Every entry (files and folders, hidden ones included) in listing order.
    const QStringList &entries() const { return m_entries; }
    // Files whose name ends with `suffix` (such as ".ov2"), any case, in listing order.
    QStringList filesWithSuffix(const QString &suffix) const;
    // Sub-folders in listing order.
    QStringList folders() const;
    // The name as spelt on disk, or empty.
    QString actualName(const QString &name) const;
    bool hasFile(const QString &name) const;
    QString path(const QString &name) const; // dir + "/" + actual name, or empty

private:
    QString m_dir;
    QStringList m_entries;
    QHash<QString, int> m_index; // case-folded name -> entry
    QList<bool> m_isDir;
};

namespace DeviceFiles {
// True when a search for `path` either finds it or only finds nothing: its folder
// can be listed. A volume that went away or cannot be read gives false, at once.
bool DriveReady(const QString &path);
} // namespace DeviceFiles
