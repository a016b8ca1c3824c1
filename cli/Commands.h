#pragma once
#include <QStringList>
#include <QTextStream>

#include <initializer_list>

// One command of korvix-cli. Each file of this folder registers its commands with a
// static CliRegistrar, so adding a format's commands touches no other file.
struct CliCommand {
    QString name;
    QString usage;   // shown by "korvix-cli help"
    int (*run)(const QStringList &args, QTextStream &out, QTextStream &err);
};

class CliRegistrar {
public:
    explicit CliRegistrar(const CliCommand &command);
};

const QList<CliCommand> &cliCommands();

// All of standard input; false (with the message on `err`) when it cannot be read.
bool readStandardInput(QByteArray &data, QTextStream &err);

// A command with sub-commands ("ov2 dump ..."): runs the one named by the first
// argument with the rest, or prints `usage` and returns 2.
struct CliSubCommand {
    const char *name;
    int (*run)(const QStringList &args, QTextStream &out, QTextStream &err);
};
int runSubCommand(const QStringList &args, QTextStream &out, QTextStream &err,
                  std::initializer_list<CliSubCommand> subs, const char *usage);
