// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {
QString withSlash(const QString &p)
{
    return p.endsWith(QLatin1Char('/')) ? p : p + QLatin1Char('/');
}
} // namespace

QString Folders::ProgramFolder()
{
    return withSlash(QCoreApplication::applicationDirPath());
}

QString Folders::UserDataFolder()
{
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) + QStringLiteral("Korvix/");
}

QString Folders::CommonDataFolder()
{
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)) + QStringLiteral("Korvix/");
}

void Folders::createDataFolders()
{
    QDir().mkpath(UserDataFolder());
    QDir().mkpath(CommonDataFolder());
}
