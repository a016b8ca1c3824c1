// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Autoplay.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString Autoplay::desktopEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/applications/korvix-autoplay.desktop");
}

QString Autoplay::registerHandler(const QString &executablePath)
{
    QString exe = QFileInfo(executablePath).absoluteFilePath();
    // Desktop entry quoting: the path in double quotes, with its specials escaped.
    exe.replace(QLatin1Char('\\'), QStringLiteral("\\\\\\\\"));
    exe.replace(QLatin1Char('"'), QStringLiteral("\\\\\""));
    exe.replace(QLatin1Char('`'), QStringLiteral("\\\\`"));
    exe.replace(QLatin1Char('$'), QStringLiteral("\\\\$"));
    const QString entry = QStringLiteral(
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Korvix\n"
                              "GenericName=Explore your TomTom device\n"
                              "Comment=Explore your TomTom device\n"
                              "Exec=\"%1\" %f\n"
                              "Icon=korvix\n"
                              "Terminal=false\n"
                              "NoDisplay=true\n"
                              "MimeType=x-content/unix-software;x-content/image-dcf;x-content/audio-player;\n"
                              "X-KDE-Solid-Predicate=StorageVolume\n")
                              .arg(exe);
    QDir().mkpath(QFileInfo(desktopEntryPath()).absolutePath());
    return AtomicFile::write(desktopEntryPath(), entry.toUtf8());
}
