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
    if (!DeviceInfo::isDeviceRoot(key)) {
        err << "korvix-cli: " << key << " is not a device folder (it needs TTGO.BIF and ttsystem)\n";
        return 1;
    }
    KorvixSettings settings;
    CountingIconSink icons;
    const auto device = TreeBuilder::buildDevice(key, treeOptionsFrom(settings), icons);
    out << treeAsText(device.get());
    return 0;
}

int sampleDevice(const QStringList &args, QTextStream &, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli sample-device DIR\n";
        return 2;
    }
    const QString why = SampleDevice::write(args[0]);
    if (!why.isEmpty()) {
        err << "korvix-cli: " << why << '\n';
        return 1;
    }
    return 0;
}

const CliRegistrar treeCommand({QStringLiteral("tree"), QStringLiteral("DIR  print the content tree of a device folder"), tree});
const CliRegistrar sampleCommand({QStringLiteral("sample-device"), QStringLiteral("DIR  write a sample device folder"), sampleDevice});

} // namespace
