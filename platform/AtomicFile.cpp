// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AtomicFile.h"

#include "platform/BusyFolders.h"
#include "platform/ChunkedOut.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray encoded(const QString &path) { return QFile::encodeName(path); }

QString folderOf(const QString &path) { return QFileInfo(path).absolutePath(); }

// What every temporary of `target` starts with. Long names are hashed, so the
// temporary's name stays within the file system's limit.
QString temporaryStem(const QString &target)
{
    const QString name = QFileInfo(target).fileName();
    QString stem = name;
    if (encoded(name).size() > 200)
        stem = QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(20));
    return QLatin1String(AtomicFile::TemporaryPrefix) + stem + QLatin1Char('.');
}

// The lock a writer holds on its temporary for its whole life: a temporary nobody
// holds belongs to a run that died.
int lockTemporary(const QString &path)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removes the temporaries of `target` that killed runs left (no living writer holds
// them). An old file a killed replacement of a set had moved aside is put back when
// its place is still empty: it is then the only copy.
void removeStaleTemporaries(const QString &target)
{
    const QString dir = folderOf(target);
    const QString stem = temporaryStem(target);
    const QStringList found = QDir(dir).entryList({stem + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : found) {
        if (!name.startsWith(stem))
            continue; // the name filter ignores case on some systems
        const QString path = dir + QLatin1Char('/') + name;
        const int fd = lockTemporary(path);
        if (fd < 0)
            continue;
        struct stat st {};
        const bool aside = name.mid(stem.size()).startsWith(QLatin1String("old-"));
        if (aside && ::lstat(encoded(target).constData(), &st) != 0 && errno == ENOENT)
            ::rename(encoded(path).constData(), encoded(target).constData());
        else
            ::unlink(encoded(path).constData());
        ::close(fd);
    }
}

bool ignorableSyncError(int e)
{
    // File systems that cannot sync this kind of file say so; nothing is lost by that.
    return e == EINVAL || e == ENOTSUP || e == EOPNOTSUPP;
}
} // namespace

QString AtomicFile::reason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

bool AtomicFile::isTemporaryName(const QString &fileName)
{
    return fileName.startsWith(QLatin1String(TemporaryPrefix));
}

int AtomicFile::createTemporary(const QString &target, QString *path, unsigned *mode, QString *why)
{
    struct stat old {};
    const bool replacing = ::stat(encoded(target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    const QString stem = folderOf(target) + QLatin1Char('/') + temporaryStem(target);
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        *path = stem + QString::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(encoded(*path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        *why = reason(errno);
        path->clear();
        return -1;
    }
    struct stat made {};
    ::fstat(fd, &made);
    *mode = (replacing ? old.st_mode : made.st_mode) & 07777;
    return fd;
}

QString AtomicFile::syncFolder(const QString &dir)
{
    const int fd = ::open(encoded(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return reason(errno);
    int e = 0;
    if (::fsync(fd) != 0 && !ignorableSyncError(errno))
        e = errno;
    ::close(fd);
    return e ? reason(e) : QString();
}

QString AtomicFile::syncFileSystem(const QString &path)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return reason(errno);
    int e = 0;
#ifdef Q_OS_LINUX
    if (::syncfs(fd) != 0)
        e = errno;
#else
    if (::fsync(fd) != 0 && !ignorableSyncError(errno))
        e = errno;
    ::sync();
#endif
    ::close(fd);
    return e ? reason(e) : QString();
}

AtomicFile::Pending::Pending(const QString &target) : m_target(target) {}

AtomicFile::Pending::~Pending()
{
    if (m_file.isOpen())
        m_file.close();
    if (m_writeFd >= 0)
        ::close(m_writeFd);
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    if (!m_committed && !m_temporary.isEmpty())
        ::unlink(encoded(m_temporary).constData());
}

QString AtomicFile::Pending::open()
{
    if (const QString busy = BusyFolders::refusal(m_target); !busy.isEmpty())
        return m_error = busy;
    removeStaleTemporaries(m_target);
    unsigned mode = 0;
    const int fd = createTemporary(m_target, &m_temporary, &mode, &m_error);
    if (fd < 0)
        return m_error;
    ::fchmod(fd, mode); // a replaced file keeps its permissions
    m_writeFd = fd;
    m_lockFd = lockTemporary(m_temporary);
    if (m_lockFd < 0 || !m_file.open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return m_error = reason(errno ? errno : EIO);
    return {};
}

bool AtomicFile::Pending::put(const char *data, qsizetype n)
{
    while (n > 0) {
        const qint64 done = m_file.write(data, n);
        if (done <= 0) {
            m_error = done < 0 ? m_file.errorString() : reason(ENOSPC);
            return false;
        }
        data += done;
        n -= done;
    }
    return true;
}

QString AtomicFile::Pending::finish()
{
    if (m_finished)
        return {};
    if (m_writeFd < 0)
        return m_error.isEmpty() ? m_error = reason(EBADF) : m_error;
    m_file.close();
    if (::fdatasync(m_writeFd) != 0 && !ignorableSyncError(errno))
        return m_error = reason(errno);
    // QFile does not report the result of its close, so the descriptor is ours to close.
    const int fd = m_writeFd;
    m_writeFd = -1;
    if (::close(fd) != 0)
        return m_error = reason(errno);
    // A set of many files must not hold a descriptor each until it is put in place. A
    // finished temporary taken for stale meanwhile only makes its rename fail, which
    // keeps the old file and says so.
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
    m_finished = true;
    return {};
}

QString AtomicFile::Pending::commit()
{
    if (QString why = finish(); !why.isEmpty())
        return why;
    if (::rename(encoded(m_temporary).constData(), encoded(m_target).constData()) != 0)
        return m_error = reason(errno);
    m_committed = true;
    if (QString why = syncFolder(folderOf(m_target)); !why.isEmpty())
        return m_error = why;
    return {};
}

QString AtomicFile::writeStreamed(const QString &path, const std::function<void(ChunkedOut &)> &fill)
{
    Pending pending(path);
    if (QString why = pending.open(); !why.isEmpty())
        return why;
    ChunkedOut out([&pending](const char *d, qsizetype n) { return pending.put(d, n); });
    fill(out); // an exception drops the pending file, which removes the temporary
    if (!out.flush())
        return pending.error();
    return pending.commit();
}

QString AtomicFile::write(const QString &path, const QByteArray &data)
{
    return writeStreamed(path, [&data](ChunkedOut &out) { out.put(data.constData(), data.size()); });
}

namespace {
// An old file set aside while a set is replaced: a hard link where the file system has
// them (the target keeps its old contents until the rename), else a rename.
struct SetAside {
    QString target;
    QString backup;
};

QString backupName(const QString &target)
{
    return folderOf(target) + QLatin1Char('/') + temporaryStem(target) + QStringLiteral("old-") +
           QString::number(QRandomGenerator::global()->generate(), 36);
}

QString named(const QString &path, const QString &why)
{
    return QFileInfo(path).fileName() + QStringLiteral(": ") + why;
}
} // namespace

QString AtomicFile::replaceAll(const std::vector<Pending *> &files, const QStringList &obsolete)
{
    for (Pending *p : files)
        if (QString why = p->finish(); !why.isEmpty())
            return named(p->target(), why);

    QStringList touched;
    for (Pending *p : files)
        touched << p->target();
    for (const QString &o : obsolete)
        if (!touched.contains(o))
            touched << o;

    std::vector<SetAside> aside;
    QList<Pending *> placed;
    auto rollBack = [&]() {
        for (Pending *p : placed)
            ::unlink(encoded(p->target()).constData());
        for (const SetAside &a : aside) {
            ::rename(encoded(a.backup).constData(), encoded(a.target).constData());
            // A rename between two links of one file does nothing: the extra link goes.
            ::unlink(encoded(a.backup).constData());
        }
    };

    for (const QString &t : touched) {
        struct stat st {};
        if (::lstat(encoded(t).constData(), &st) != 0)
            continue;
        SetAside a{t, backupName(t)};
        if (::link(encoded(t).constData(), encoded(a.backup).constData()) != 0) {
            int e = errno;
            const bool noLinks = e == EPERM || e == ENOTSUP || e == EOPNOTSUPP || e == EXDEV || e == EMLINK;
            if (noLinks && ::rename(encoded(t).constData(), encoded(a.backup).constData()) != 0)
                e = errno;
            else if (noLinks)
                e = 0;
            if (e) {
                rollBack();
                return named(t, reason(e));
            }
        }
        aside.push_back(a);
    }
    // Linked backups restore by rename too; the target they point back to is rewritten.
    for (Pending *p : files) {
        if (::rename(encoded(p->temporaryPath()).constData(), encoded(p->target()).constData()) != 0) {
            const int e = errno;
            rollBack();
            return named(p->target(), reason(e));
        }
        placed << p;
    }
    for (const QString &o : obsolete) {
        if (touched.indexOf(o) < int(files.size()))
            continue; // it was replaced by a new file
        if (::unlink(encoded(o).constData()) != 0 && errno != ENOENT) {
            const int e = errno;
            rollBack();
            return named(o, reason(e));
        }
    }
    QSet<QString> folders;
    for (const QString &t : touched)
        folders.insert(folderOf(t));
    for (const QString &dir : folders)
        if (QString why = syncFolder(dir); !why.isEmpty()) {
            rollBack();
            return named(dir, why);
        }
    for (Pending *p : files)
        p->m_committed = true;
    for (const SetAside &a : aside)
        ::unlink(encoded(a.backup).constData());
    QString failure;
    for (const QString &dir : folders)
        if (QString why = syncFolder(dir); !why.isEmpty() && failure.isEmpty())
            failure = named(dir, why);
    return failure;
}
