#pragma once
#include <QStringList>
#include <QTextStream>

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
