// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DeviceFiles.h"

#include "platform/AtomicFile.h"
#include "platform/FileReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
QString joined(const QString &dir, const QString &name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

// `limit` bytes at most; with `wholeOnly` a longer file gives nothing.
std::optional<QByteArray> readBounded(const QString &path, qint64 limit, bool wholeOnly)
{
    if (path.isEmpty() || limit < 0)
        return std::nullopt;
#ifdef Q_OS_UNIX
    // Non-blocking, so opening a FIFO returns at once; the type is then checked on
    // the open file itself, leaving no gap for a swap between check and read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (wholeOnly && st.st_size > limit)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray out(qMin<qint64>(st.st_size, limit), Qt::Uninitialized);
    qint64 got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(fd, out.data() + got, size_t(out.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    out.truncate(got);
    return out;
#else
    const QFileInfo fi(path);
    if (!fi.isFile() || (wholeOnly && fi.size() > limit))
        return std::nullopt;
    QFile f(fi.absoluteFilePath());
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.read(limit);
#endif
}
} // namespace

std::optional<QByteArray> DeviceFiles::readRegular(const QString &path, qint64 cap)
{
    return FileReader::read(path, cap);
}

std::optional<QByteArray> DeviceFiles::readRegularHead(const QString &path, qint64 count)
{
    return readBounded(path, count, false);
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
