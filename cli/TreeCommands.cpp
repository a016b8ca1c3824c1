// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include "app/DeviceInfo.h"
#include "app/SampleDevice.h"
#include "app/TreeBuilder.h"
#include "app/TreeText.h"
#include "platform/Settings.h"

#include <QDir>

namespace {

int tree(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli tree DIR\n";
        return 2;
    }
    const QString key = QDir::cleanPath(QDir(args[0]).absolutePath());
    if (!DeviceInfo::isDeviceRoot(key))
        return fileError(err, args[0], QStringLiteral("Not a device folder (it needs TTGO.BIF and ttsystem)"));
    KorvixSettings settings;
    CountingIconSink icons;
    const auto device = TreeBuilder::buildDevice(key, treeOptionsFrom(settings), icons);
    out << treeAsText(device.get());
    return 0;
}

int sampleDevice(const QStringList &args, QTextStream &, QTextStream &err)
{
    QStringList rest = args;
    const bool force = rest.removeAll(QStringLiteral("--force")) > 0;
    if (rest.size() != 1) {
        err << "usage: korvix-cli sample-device [--force] DIR\n";
        return 2;
    }
    // The sample files would replace a user's own files of the same names.
    const QDir dir(rest[0]);
    if (!force && dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return fileError(err, rest[0], QStringLiteral("The folder is not empty; --force writes the sample device into it anyway"));
    if (const QString why = SampleDevice::write(rest[0]); !why.isEmpty())
        return fileError(err, rest[0], why);
    return 0;
}

const CliRegistrar treeCommand({QStringLiteral("tree"), QStringLiteral("DIR  print the content tree of a device folder"), tree});
const CliRegistrar sampleCommand({QStringLiteral("sample-device"), QStringLiteral("[--force] DIR  write a sample device folder (an empty or new one unless --force)"), sampleDevice});

} // namespace
