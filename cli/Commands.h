// SPDX-License-Identifier: GPL-3.0-or-later
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

// Every error about a file has one form, the file first: "FILE: reason\n". A
// reader's carriage returns (the OV2 field dump breaks its lines with them) become
// line feeds, so a terminal shows every line. Returns 1, the exit code of a failure.
int fileError(QTextStream &err, const QString &path, const QString &reason);
// Takes "NAME VALUE" out of `args` wherever it stands, before or after the files. False
// when NAME is there without a value; `value` is left alone when NAME is absent.
bool takeOption(QStringList &args, const QString &name, QString *value);
// The system's reason why `path` cannot be opened for reading ("No such file or
// directory"), or an empty text when it can.
QString openFailure(const QString &path);
// "Can't open OV2 file" and the like with the system's reason added, any other
// reader error as it is.
QString withOpenFailure(const QString &error, const QString &cantOpen, const QString &path);
// Whether the suffix of `path` is one of `suffixes` (lower case, any case matches).
bool hasSuffix(const QString &path, std::initializer_list<const char *> suffixes);
// An output the command cannot write: "OUT: Can't write this kind of file: the output
// must end in .bmp". Returns 2, as for any other wrong argument.
int refuseOutput(QTextStream &err, const QString &path, const QString &endings);

// A command with sub-commands ("ov2 dump ..."): runs the one named by the first
// argument with the rest, or prints `usage` and returns 2.
struct CliSubCommand {
    const char *name;
    int (*run)(const QStringList &args, QTextStream &out, QTextStream &err);
};
int runSubCommand(const QStringList &args, QTextStream &out, QTextStream &err,
                  std::initializer_list<CliSubCommand> subs, const char *usage);

// "map layer ...": the calls of the map's extra layers (MapLayerCommands.cpp).
int runMapLayer(const QStringList &args, QTextStream &out, QTextStream &err);
// "map tiles ...": a tile archive's description and single tiles (MapTileCommands.cpp).
int runMapTiles(const QStringList &args, QTextStream &out, QTextStream &err);
