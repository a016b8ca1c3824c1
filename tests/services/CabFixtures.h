// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A cabinet built by hand, stored without compression, so a test can put any name in it
// (names our writer never produces: "..\x", "C:\x").
QByteArray handMadeCabinet(const QList<QPair<QByteArray, QByteArray>> &files);

// A real program of the test packages, run to its end: exit code and output.
struct ToolRun {
    int code = -1;
    QByteArray out;
};
ToolRun runTool(const QString &program, const QStringList &args, const QString &workDir = {});

// Every file below `root` (relative path with "/") and its content.
QList<QPair<QString, QByteArray>> treeOf(const QString &root);

// The names a cabinet stores, sorted, as our own reader lists them.
QStringList storedNames(const QString &cabinet);
