// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MapHost.h"

#include "platform/AtomicFile.h"

#include <QFile>

void TMapHost::writeChannelScript(const QString &folder)
{
    QFile channelScript(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (channelScript.open(QIODevice::ReadOnly))
        AtomicFile::write(folder + QStringLiteral("qwebchannel.js"), channelScript.readAll());
}
