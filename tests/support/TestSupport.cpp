#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempFolder::TempFolder() : m_dir(QDir::tempPath() + QStringLiteral("/korvix-test-XXXXXX")) {}

QString TempFolder::write(const QString &relative, const QByteArray &data) const
{
    const QString p = file(relative);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
    return p;
}

QString TempFolder::mkdir(const QString &relative) const
{
    const QString p = file(relative);
    QDir().mkpath(p);
    return p;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
