#include "platform/ReplacedFile.h"

#include "platform/AtomicFile.h"
#include "platform/BusyFolders.h"

#include <QFileInfo>
#include <QRandomGenerator>

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
    const QFileInfo target(m_target);
    // Long names are cut, so the temporary's name stays within the file system's limit.
    const QString stem = target.absolutePath() + QLatin1Char('/') + QLatin1String(AtomicFile::TemporaryPrefix)
                         + target.fileName().left(100) + QLatin1Char('.');
    struct stat old {};
    const bool replacing = ::stat(encoded(m_target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    for (int attempt = 0; m_fd < 0 && attempt < 100; ++attempt) {
        m_temporary = stem + QString::number(QRandomGenerator::global()->generate(), 36);
        m_fd = ::open(encoded(m_temporary).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int e = errno;
        m_temporary.clear();
        return AtomicFile::reason(e);
    }
    struct stat made {};
    ::fstat(m_fd, &made);
    m_mode = replacing ? old.st_mode & 07777 : made.st_mode & 07777;
    if (!m_file.open(m_fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return AtomicFile::reason(EIO);
    return {};
}

QString ReplacedFile::commit(const QDateTime &time, bool readOnly)
{
    if (m_fd < 0)
        return AtomicFile::reason(EBADF);
    m_file.close();
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
