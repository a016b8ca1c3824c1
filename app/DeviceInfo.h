// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// A device's identity, read afresh from its TTGO.BIF on every use.
namespace DeviceInfo {

// The value of `key` in section "TomTomGo" (empty when absent or unreadable), or with
// an empty key the identity line of all five keys. `root` may end with "/" or not.
QString ReadDeviceInfo(const QString &root, const QString &key);

// INI text as the device writes it: section and key names without regard to case,
// values as stored without surrounding blanks. Garbage gives nothing, never a fault.
QString iniValue(const QByteArray &ini, const QString &section, const QString &key);

// True when the folder holds both marker files, TTGO.BIF and ttsystem, as files.
bool isDeviceRoot(const QString &dir);

} // namespace DeviceInfo
