#include "cli/Commands.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

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
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        err << "cannot read standard input\n";
        return false;
    }
    data = in.readAll();
    return true;
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
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Korvix"));
    QTextStream out(stdout), err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == QLatin1String("help") || args[0] == QLatin1String("--help")) {
        usage(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const CliCommand &c : cliCommands())
        if (c.name == name)
            return c.run(args, out, err);
    err << "korvix-cli: unknown command " << name << '\n';
    usage(err);
    return 2;
}
