#include "tests/cli/CliRun.h"

#include <QProcess>

CliResult runCli(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}
