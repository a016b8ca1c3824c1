// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Any file as hexadecimal text for program source, written beside it as NAME.txt.
namespace HexExport {
// The chosen file's path with its extension replaced by ".txt".
QString outputPath(const QString &input);
// All bytes as upper-case digit pairs, nothing between them. Returns the output path;
// throws KorvixError and writes nothing when the input cannot be read or the output
// would be the input itself.
QString exeToHex(const QString &input);
// A constant declaration: "Const", "NAME = ", then lines of 33 bytes in quotes joined
// by "'+" CR LF, ending in "';".
QString binToHex(const QString &input);
} // namespace HexExport
