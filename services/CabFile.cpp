// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/CabFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString TCABFileEntry::storedName() const
{
    const QString file = StoredFileName.isEmpty() ? QFileInfo(Name).fileName() : StoredFileName;
    if (RelPath.isEmpty())
        return file;
    return RelPath.endsWith(QLatin1Char('\\')) ? RelPath + file : RelPath + QLatin1Char('\\') + file;
}

void TCABFileContents::AddFiles(const QString &mask, const QString &relPath, bool recursive)
{
    const QFileInfo maskInfo(mask);
    QString pattern = maskInfo.fileName();
    if (pattern == QLatin1String("*.*")) // matches every file, dotted or not, as on a FAT drive
        pattern = QStringLiteral("*");
    const QDir folder = maskInfo.dir();
    const QFileInfoList files = folder.entryInfoList({pattern},
        QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &f : files)
        append({folder.filePath(f.fileName()), relPath});
    if (!recursive)
        return;
    // Linked folders are not followed: a link back up would never end.
    const QFileInfoList subs = folder.entryInfoList(
        QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Unsorted);
    const QString base = relPath.endsWith(QLatin1Char('\\')) ? relPath : relPath + QLatin1Char('\\');
    for (const QFileInfo &d : subs)
        AddFiles(folder.filePath(d.fileName()) + QLatin1Char('/') + pattern, base + d.fileName(), true);
}

QString ECABFileError::text(int code)
{
    static const char *const texts[] = {
        QT_TRANSLATE_NOOP("TCABFile", "No error"),
        QT_TRANSLATE_NOOP("TCABFile", "Failure opening file to be stored in cabinet"),
        QT_TRANSLATE_NOOP("TCABFile", "Failure reading file to be stored in cabinet"),
        QT_TRANSLATE_NOOP("TCABFile", "Insufficient memory in FCI"),
        QT_TRANSLATE_NOOP("TCABFile", "Could not create a temporary file"),
        QT_TRANSLATE_NOOP("TCABFile", "Unknown compression type"),
        QT_TRANSLATE_NOOP("TCABFile", "Could not create cabinet file"),
        QT_TRANSLATE_NOOP("TCABFile", "Client requested abort"),
        QT_TRANSLATE_NOOP("TCABFile", "Failure compressing data"),
    };
    if (code == TooLargeForFolder)
        return QCoreApplication::translate("TCABFile", "File too large for one cabinet folder");
    if (code == TooLargeForCabinet)
        return QCoreApplication::translate("TCABFile", "The archive is larger than one cabinet may be");
    if (code == Cancelled)
        return QCoreApplication::translate("TCABFile", "Cancelled");
    if (code == NameTooLong)
        return QCoreApplication::translate("TCABFile", "The name is too long for a cabinet (255 bytes at most)");
    if (code == NothingToPack)
        return QCoreApplication::translate("TCABFile", "There are no files to put into the cabinet");
    if (code >= 0 && code < int(std::size(texts)))
        return QCoreApplication::translate("TCABFile", texts[code]);
    return QCoreApplication::translate("TCABFile", "Unknown error");
}

ECABFileError::ECABFileError(int code, const QString &fileName, const QString &reason)
    : KorvixError((fileName.isEmpty() ? text(code) : text(code) + QStringLiteral(": ") + fileName)
                  + (reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + QLatin1Char(')')))
    , m_code(code)
    , m_fileName(fileName)
    , m_reason(reason)
{
}

QString ECABFileError::detail() const
{
    return m_reason.isEmpty() ? text(m_code) : text(m_code) + QStringLiteral(": ") + m_reason;
}

QByteArray storedNameBytes(const QString &storedName)
{
    for (QChar c : storedName)
        if (c.unicode() >= 0x80)
            return storedName.toUtf8();
    return storedName.toLatin1();
}

quint32 cabDateTime(const QDateTime &local)
{
    const QDate d = local.date();
    const QTime t = local.time();
    // The format starts in 1980; earlier times are stored as its first day.
    if (!d.isValid() || d.year() < 1980)
        return (1u << 5 | 1u) << 16;
    const quint32 date = quint32(qMin(d.year() - 1980, 127)) << 9 | quint32(d.month()) << 5 | quint32(d.day());
    const quint32 time = quint32(t.hour()) << 11 | quint32(t.minute()) << 5 | quint32(t.second() / 2);
    return date << 16 | time;
}

QDateTime cabDateTimeToLocal(quint16 date, quint16 time)
{
    const QDate d(1980 + (date >> 9), (date >> 5) & 15, date & 31);
    const QTime t(time >> 11, (time >> 5) & 63, (time & 31) * 2);
    return QDateTime(d, t.isValid() ? t : QTime(0, 0));
}

bool isSafeStoredName(const QString &name)
{
    if (name.isEmpty() || name.contains(QChar(0)))
        return false;
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (n.startsWith(QLatin1String("//")) || (n.size() >= 2 && n[1] == QLatin1Char(':')))
        return false;
    const QStringList parts = n.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    for (const QString &p : parts)
        if (p == QLatin1String("..") || p.contains(QLatin1Char(':')))
            return false;
    return true;
}

bool passesThroughLink(const QString &root, const QString &relative)
{
    QString at = root;
    for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        at += QLatin1Char('/') + part;
        if (QFileInfo(at).isSymLink())
            return true;
    }
    return false;
}
