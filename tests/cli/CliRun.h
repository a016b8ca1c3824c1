#pragma once
#include <QByteArray>
#include <QStringList>

// Runs the real korvix-cli of this build.
struct CliResult {
    int exitCode = -1;
    QByteArray out, err;
};
CliResult runCli(const QStringList &args, const QByteArray &input = {});
