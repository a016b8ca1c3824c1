// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <QDir>

namespace {
bool isSuperUserSwitch(const QString &a)
{
    return (a.startsWith(QLatin1Char('-')) || a.startsWith(QLatin1Char('/'))) &&
           a.mid(1).compare(QLatin1String("SuperUser"), Qt::CaseInsensitive) == 0;
}
} // namespace

CommandLine parseCommandLine(const QStringList &args, const QString &workingFolder)
{
    CommandLine line;
    const QDir here(workingFolder);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--device")) {
            if (i + 1 < args.size())
                line.deviceFolders << QDir::cleanPath(here.absoluteFilePath(args[++i]));
        } else if (isSuperUserSwitch(a)) {
            line.superUser = true;
        } else if (a.startsWith(QLatin1Char('-'))) {
            continue; // an option of Qt's own (-style, -platform) or one we do not know
        } else {
            line.files << QDir::cleanPath(here.absoluteFilePath(a));
        }
    }
    return line;
}
