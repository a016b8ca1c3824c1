// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DeviceFiles.h"

#include "platform/AtomicFile.h"
#include "platform/FileReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {
QString joined(const QString &dir, const QString &name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}
} // namespace

std::optional<QByteArray> DeviceFiles::readRegular(const QString &path, qint64 cap)
{
    return FileReader::read(path, cap);
}

std::optional<QByteArray> DeviceFiles::readRegularHead(const QString &path, qint64 count)
{
    if (count < 0)
        return std::nullopt;
    // Any size: only the head is read.
    QFile f;
    if (!FileReader::open(f, path, std::numeric_limits<qint64>::max()).isEmpty())
        return std::nullopt;
    return f.read(count);
}

QString DeviceFiles::find(const QString &dir, const QString &name)
{
    const QString direct = joined(dir, name);
    if (QFileInfo::exists(direct))
        return direct;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().compare(name, Qt::CaseInsensitive) == 0)
            return it.filePath();
    }
    return {};
}

bool DeviceFiles::exists(const QString &dir, const QString &name)
{
    return !find(dir, name).isEmpty();
}

bool DeviceFiles::isFile(const QString &dir, const QString &name)
{
    const QString p = find(dir, name);
    return !p.isEmpty() && QFileInfo(p).isFile();
}

DirListing::DirListing(const QString &dir) : m_dir(dir)
{
    // Unsorted keeps the file system's own order, as the device lists it.
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (AtomicFile::isTemporaryName(name))
            continue; // a save in progress, or one a killed run left
        m_index.insert(name.toCaseFolded(), int(m_entries.size()));
        m_entries.append(name);
        m_isDir.append(it.fileInfo().isDir());
    }
}

QStringList DirListing::filesWithSuffix(const QString &suffix) const
{
    QStringList out;
    for (int i = 0; i < m_entries.size(); ++i)
        if (!m_isDir[i] && m_entries[i].endsWith(suffix, Qt::CaseInsensitive))
            out.append(m_entries[i]);
    return out;
}

QStringList DirListing::folders() const
{
    QStringList out;
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_isDir[i])
            out.append(m_entries[i]);
    return out;
}

QString DirListing::actualName(const QString &name) const
{
    const auto it = m_index.constFind(name.toCaseFolded());
    return it == m_index.constEnd() ? QString() : m_entries[*it];
}

bool DirListing::hasFile(const QString &name) const
{
    const auto it = m_index.constFind(name.toCaseFolded());
    return it != m_index.constEnd() && !m_isDir[*it];
}

QString DirListing::path(const QString &name) const
{
    const QString actual = actualName(name);
    return actual.isEmpty() ? QString() : joined(m_dir, actual);
}

bool DeviceFiles::DriveReady(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.exists())
        return true;
    const QFileInfo folder(fi.absolutePath());
    return folder.isDir() && folder.isReadable() && folder.isExecutable();
}
