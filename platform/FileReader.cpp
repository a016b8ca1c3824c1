// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileReader.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemReason(const QString &path, int e)
{
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(e));
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Reads until `cap` + 1 bytes or the end, retrying interrupted reads.
bool readAllOf(int fd, qint64 cap, qint64 sizeHint, QByteArray &out, int &failure)
{
    out.resize(qMin(sizeHint, cap) + 1);
    qint64 got = 0;
    for (;;) {
        if (got > cap)
            return true;
        if (out.size() - got < 65536)
            out.resize(qMin<qint64>(qMax<qint64>(out.size() * 2, 65536), cap + 1));
        const ssize_t n = ::read(fd, out.data() + got, size_t(out.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failure = errno;
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    out.truncate(got);
    return true;
}

// The descriptor of a regular file no larger than `cap`, switched back to blocking reads.
int openRegular(const QString &path, qint64 cap, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        setError(error, systemReason(path, errno));
        return -1;
    }
    // The type is checked on the open file itself: no gap for a swap between check and read.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        setError(error, FileReader::notRegular(path));
        return -1;
    }
    if (st.st_size > cap) {
        ::close(fd);
        setError(error, FileReader::tooLarge(path));
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}
} // namespace

QString FileReader::notRegular(const QString &path)
{
    return QCoreApplication::translate("FileReader", "Not a regular file: %1").arg(path);
}

QString FileReader::tooLarge(const QString &path)
{
    return QCoreApplication::translate("FileReader", "The file is too large: %1").arg(path);
}

std::optional<QByteArray> FileReader::read(const QString &path, qint64 cap, QString *error)
{
    const int fd = openRegular(path, cap, error);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    ::fstat(fd, &st);
    QByteArray out;
    int failure = 0;
    const bool ok = readAllOf(fd, cap, st.st_size, out, failure);
    ::close(fd);
    if (!ok) {
        setError(error, systemReason(path, failure));
        return std::nullopt;
    }
    if (out.size() > cap) { // it grew while being read
        setError(error, tooLarge(path));
        return std::nullopt;
    }
    return out;
}

QString FileReader::open(QFile &file, const QString &path, qint64 cap)
{
    QString error;
    const int fd = openRegular(path, cap, &error);
    if (fd < 0)
        return error;
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return systemReason(path, EIO);
    }
    return {};
}

std::optional<QByteArray> FileReader::readStream(int fd, const QString &name, qint64 cap, QString *error)
{
    QByteArray out;
    int failure = 0;
    if (!readAllOf(fd, cap, 0, out, failure)) {
        setError(error, systemReason(name, failure));
        return std::nullopt;
    }
    if (out.size() > cap) {
        setError(error, tooLarge(name));
        return std::nullopt;
    }
    return out;
}
