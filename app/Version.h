// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The program's four-part version (from the build) and the update file's rules.
namespace Version {

// The four numbers joined with `separator`, or concatenated without one.
QString GetVersionText(const QString &separator = {});
QString GetVersionText(const QString &version, const QString &separator);

// 8 upper-case hex digits of the sum of the digits' character codes, then the digits.
QString VersionStamp(const QString &digits);

// Whether an answer of the update site announces a newer version than `digits`:
// at least 10 characters, not our own stamp, a checksum that holds, a larger number.
bool announcesNewer(const QByteArray &answer, const QString &digits);

} // namespace Version
