// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli hex exe|bin FILE: any file as hexadecimal text beside it.
#include "cli/Commands.h"
#include "platform/Error.h"
#include "services/HexExport.h"

namespace {
int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const bool exe = args.value(0) == QLatin1String("exe");
    if (args.size() != 2 || (!exe && args[0] != QLatin1String("bin"))) {
        err << "usage: korvix-cli hex exe|bin FILE\n";
        return 2;
    }
    try {
        out << (exe ? HexExport::exeToHex(args[1]) : HexExport::binToHex(args[1])) << '\n';
        return 0;
    } catch (const KorvixError &e) {
        err << e.message() << '\n';
        return 1;
    }
}

const CliRegistrar registrar({QStringLiteral("hex"),
                              QStringLiteral("exe|bin FILE   FILE as hexadecimal text in FILE.txt beside it"), run});
} // namespace
