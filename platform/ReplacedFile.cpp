// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ReplacedFile.h"

#include "platform/AtomicFile.h"
#include "platform/BusyFolders.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}
} // namespace

ReplacedFile::ReplacedFile(const QString &target) : m_target(target) {}

ReplacedFile::~ReplacedFile()
{
    m_file.close();
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_temporary.isEmpty())
        ::unlink(encoded(m_temporary).constData());
}

QString ReplacedFile::open()
{
    // A device being backed up takes no writes, as with the shared save.
    if (const QString busy = BusyFolders::refusal(m_target); !busy.isEmpty())
        return busy;
    QString why;
    m_fd = AtomicFile::createTemporary(m_target, &m_temporary, &m_mode, &why);
    if (m_fd < 0)
        return why;
    if (!m_file.open(m_fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return AtomicFile::reason(EIO);
    return {};
}

QString ReplacedFile::commit(const QDateTime &time, bool readOnly)
{
    if (m_fd < 0)
        return AtomicFile::reason(EBADF);
    m_file.close();
#ifdef Q_OS_LINUX
    // Start the writing out now, beside the unpacking of the next files, so the one sync
    // at the end finds little left to do. It does not wait.
    ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    const mode_t mode = readOnly ? m_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH) : m_mode | S_IWUSR;
    const qint64 ms = time.toMSecsSinceEpoch();
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1000000}};
    if ((time.isValid() && ::futimens(m_fd, times) != 0) || ::fchmod(m_fd, mode) != 0)
        return AtomicFile::reason(errno);
    // A failed close may be the only sign that the data did not arrive.
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return AtomicFile::reason(errno);
    if (::rename(encoded(m_temporary).constData(), encoded(m_target).constData()) != 0)
        return AtomicFile::reason(errno);
    m_committed = true;
    return {};
}
