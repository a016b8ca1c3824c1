// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceInfo.h"

#include "platform/DeviceFiles.h"

#include <QStringDecoder>

namespace {

// Identity files are plain text; names the device wrote in another code page still show.
QString decodeLine(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

struct Label {
    const char *key;
    const char *label;
};

constexpr Label identity[] = {
    {"DeviceName", "DeviceName: "},
    {"DeviceVersionHW", "HWVersion: "},
    {"DeviceSerialNumber", "SerialNumber: "},
    {"DeviceUniqueID", "DeviceID: "},
    {"ApplicationVersionVersionNumber", "AppVersion: "},
};

// Identity files are tiny; a huge one is not an identity file.
constexpr qint64 maxIdentitySize = 64 * 1024;

} // namespace

QString DeviceInfo::iniValue(const QByteArray &ini, const QString &section, const QString &key)
{
    bool inSection = false;
    for (QByteArray line : ini.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            const int end = line.indexOf(']');
            const QString name = decodeLine(line.mid(1, end < 0 ? -1 : end - 1)).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const int eq = line.indexOf('=');
        if (eq < 0)
            continue;
        if (decodeLine(line.left(eq)).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return decodeLine(line.mid(eq + 1)).trimmed();
    }
    return {};
}

QString DeviceInfo::ReadDeviceInfo(const QString &root, const QString &key)
{
    const QByteArray ini =
        DeviceFiles::readRegular(DeviceFiles::find(root, QStringLiteral("TTGO.BIF")), maxIdentitySize).value_or(QByteArray());
    const QString section = QStringLiteral("TomTomGo");
    if (!key.isEmpty())
        return iniValue(ini, section, key);
    QStringList parts;
    for (const Label &l : identity)
        parts << QLatin1String(l.label) + iniValue(ini, section, QLatin1String(l.key));
    return parts.join(QStringLiteral("; ")) + QLatin1Char(';');
}

bool DeviceInfo::isDeviceRoot(const QString &dir)
{
    return DeviceFiles::isFile(dir, QStringLiteral("TTGO.BIF"))
           && DeviceFiles::isFile(dir, QStringLiteral("ttsystem"));
}
