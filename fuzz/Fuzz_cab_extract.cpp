// SPDX-License-Identifier: GPL-3.0-or-later
// Unpacking any bytes as a cabinet (traversal names, bad counts, broken blocks): no
// crash, and nothing is ever written outside the target folder.
#include "services/CabFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("a/b/target"));
    QDir(dir.path()).removeRecursively();
    QDir().mkpath(target);
    // A link inside the target that leads out: unpacking must never pass through it.
    QFile::link(dir.filePath(QStringLiteral("a")), target + QStringLiteral("/up"));
    TCABFile cab;
    cab.CABFile = dir.filePath(QStringLiteral("x.cab"));
    {
        QFile f(cab.CABFile);
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    cab.TargetPath = target;
    cab.Extract();
    QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path == cab.CABFile || path == dir.filePath(QStringLiteral("a"))
            || path == dir.filePath(QStringLiteral("a/b")) || path.startsWith(target + QLatin1Char('/'))
            || path == target)
            continue;
        std::abort(); // something landed outside the target
    }
    return 0;
}
