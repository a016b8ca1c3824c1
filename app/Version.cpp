// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Version.h"

#include <QStringList>

namespace {
quint64 codeSum(QStringView text)
{
    quint64 sum = 0;
    for (QChar c : text)
        sum += c.unicode();
    return sum;
}

// The digits as a number of any length compared without overflow.
int compareDecimal(QString a, QString b)
{
    while (a.size() > 1 && a.startsWith(QLatin1Char('0')))
        a.remove(0, 1);
    while (b.size() > 1 && b.startsWith(QLatin1Char('0')))
        b.remove(0, 1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

bool allDigits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

QString Version::GetVersionText(const QString &version, const QString &separator)
{
    QStringList parts = version.split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts << QStringLiteral("0");
    return parts.mid(0, 4).join(separator);
}

QString Version::GetVersionText(const QString &separator)
{
    return GetVersionText(QStringLiteral(KORVIX_VERSION), separator);
}

QString Version::VersionStamp(const QString &digits)
{
    return QStringLiteral("%1").arg(codeSum(digits), 8, 16, QLatin1Char('0')).toUpper() + digits;
}

bool Version::announcesNewer(const QByteArray &answer, const QString &digits)
{
    const QString text = QString::fromLatin1(answer.left(128));
    if (text.size() < 10 || text == VersionStamp(digits))
        return false;
    bool ok = false;
    const quint64 checksum = text.left(8).toULongLong(&ok, 16);
    const QString rest = text.mid(8);
    if (!ok || checksum != codeSum(rest) || !allDigits(rest))
        return false;
    return compareDecimal(rest, digits) > 0;
}
