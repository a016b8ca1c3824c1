// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"
#include "platform/FileReader.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
QList<CliCommand> &registry()
{
    static QList<CliCommand> commands;
    return commands;
}

void usage(QTextStream &err)
{
    err << "usage: korvix-cli COMMAND [ARGS]\n";
    for (const CliCommand &c : cliCommands())
        err << "  " << c.name << ' ' << c.usage << '\n';
    err << "  help [COMMAND]  this text, or the usage of one command\n";
    err << "  --version  the version\n";
}

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("help") || arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

// Qt warns on standard error when the session has no runtime folder; the command
// line never uses one, and its standard error carries only its own messages.
QtMessageHandler qtHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}
} // namespace

CliRegistrar::CliRegistrar(const CliCommand &command)
{
    registry().append(command);
}

const QList<CliCommand> &cliCommands()
{
    return registry();
}

bool readStandardInput(QByteArray &data, QTextStream &err)
{
    QString why;
    const std::optional<QByteArray> read =
        FileReader::readStream(STDIN_FILENO, QStringLiteral("standard input"), FileReader::MaxRowsBytes, &why);
    if (!read) {
        err << why << '\n';
        return false;
    }
    data = *read;
    return true;
}

bool takeOption(QStringList &args, const QString &name, QString *value)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    *value = args[at + 1];
    args.remove(at, 2);
    return true;
}

int fileError(QTextStream &err, const QString &path, const QString &reason)
{
    // The bounded reader's messages already name the file in their own words.
    if (reason == FileReader::notRegular(path) || reason == FileReader::tooLarge(path) ||
        (!path.isEmpty() && reason.startsWith(path + QStringLiteral(": ")))) {
        err << reason << '\n';
        err.flush();
        return 1;
    }
    QString text = reason;
    // The file comes first; a reader's own mention of it would name it twice.
    for (const QString &named : {QStringLiteral(" \"%1\"").arg(path), QLatin1Char(' ') + path}) {
        const qsizetype at = text.indexOf(named);
        const qsizetype after = at + named.size();
        const QChar next = at >= 0 && after < text.size() ? text.at(after) : QChar();
        if (at < 0 || path.isEmpty() || !(next.isNull() || next == u':' || next == u'.'))
            continue;
        text.remove(at, named.size());
        if (text.mid(at, 2) == QLatin1String(". "))
            text.replace(at, 1, QLatin1Char(':'));
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        break;
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    err << path << ": " << text << '\n';
    err.flush();
    return 1;
}

QString openFailure(const QString &path)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("Is a directory");
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        return {};
    return f.errorString();
}

QString withOpenFailure(const QString &error, const QString &cantOpen, const QString &path)
{
    if (error != cantOpen)
        return error;
    const QString why = openFailure(path);
    return why.isEmpty() ? error : error + QStringLiteral(": ") + why;
}

bool hasSuffix(const QString &path, std::initializer_list<const char *> suffixes)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const char *s : suffixes)
        if (suffix.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int refuseOutput(QTextStream &err, const QString &path, const QString &endings)
{
    fileError(err, path, QStringLiteral("Can't write this kind of file: the output must end in ") + endings);
    return 2;
}

int runSubCommand(const QStringList &args, QTextStream &out, QTextStream &err,
                  std::initializer_list<CliSubCommand> subs, const char *usage)
{
    const QString name = args.value(0);
    for (const CliSubCommand &s : subs)
        if (name == QLatin1String(s.name))
            return s.run(args.mid(1), out, err);
    err << "usage: korvix-cli " << usage << '\n';
    return 2;
}

int main(int argc, char **argv)
{
    // Pictures (icons, bitmaps) need QtGui but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qtHandler = qInstallMessageHandler(quietHandler);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Korvix"));
    QTextStream out(stdout), err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        usage(err);
        return 2;
    }
    if (isHelp(args[0]) && args.size() == 1) {
        usage(out);
        return 0;
    }
    if (args[0] == QLatin1String("--version") && args.size() == 1) {
        out << "korvix-cli " KORVIX_VERSION "\n";
        return 0;
    }
    if (isHelp(args[0]) && args.size() == 2) {
        for (const CliCommand &c : cliCommands()) {
            if (c.name == args[1]) {
                out << "usage: korvix-cli " << c.name << ' ' << c.usage << '\n';
                return 0;
            }
        }
        err << "korvix-cli: no help on " << args[1] << '\n';
        usage(err);
        return 2;
    }
    if (isHelp(args[0])) {
        usage(err);
        return 2;
    }
    const QString name = args.takeFirst();
    for (const CliCommand &c : cliCommands()) {
        if (c.name != name)
            continue;
        const int code = c.run(args, out, err);
        // Output lost on a full disk is a failure like any other; a command that says
        // so itself has already failed.
        out.flush();
        const auto *file = qobject_cast<const QFileDevice *>(out.device());
        QString lost = file && file->error() != QFileDevice::NoError ? file->errorString() : QString();
        if (lost.isEmpty() && std::fflush(stdout) != 0)
            lost = QString::fromLocal8Bit(std::strerror(errno));
        if (lost.isEmpty() && (std::ferror(stdout) || out.status() != QTextStream::Ok))
            lost = QString::fromLocal8Bit(std::strerror(EIO));
        if (!lost.isEmpty() && code == 0) {
            err << "standard output: " << lost << '\n';
            return 1;
        }
        return code;
    }
    err << "korvix-cli: unknown command " << name << '\n';
    usage(err);
    return 2;
}
