// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/TargeoImport.h"

#include <QStringList>

#include <array>
#include <optional>

namespace Itn {

std::vector<ImportedPoint> ReadTargeoRoute(QStringView text)
{
    // Slot 0 Start, 1..8 the digits 0..7, 9 End.
    std::array<std::optional<ImportedPoint>, 10> entries;
    // Lines end at CR LF, LF or a lone CR; the empty lines between hold no entry.
    const QString lines = text.toString().replace(u'\r', u'\n');
    for (const QString &line : lines.split(u'\n')) {
        const qsizetype sep = line.indexOf(QLatin1String("::"));
        if (sep < 0)
            continue;
        const qsizetype eq = line.indexOf(u'=', sep + 2);
        if (eq < 0)
            continue;
        const QString name = line.left(sep);
        if (QStringView(line).sliced(sep + 2, eq - sep - 2) != QLatin1String("ptGeo"))
            continue;
        int slot = -1;
        if (name == QLatin1String("Start"))
            slot = 0;
        else if (name == QLatin1String("End"))
            slot = 9;
        else if (!name.isEmpty() && name[0] >= u'0' && name[0] <= u'7')
            slot = 1 + (name[0].unicode() - '0');
        if (slot < 0)
            continue;
        const QString value = line.mid(eq + 1);
        const qsizetype amp = value.indexOf(u'&');
        const QString first = amp < 0 ? QString() : value.left(amp);
        const QString second = amp < 0 ? QString() : value.mid(amp + 1);
        entries[size_t(slot)] = ImportedPoint{second, first, name};
    }
    std::vector<ImportedPoint> route;
    for (const auto &s : entries)
        if (s)
            route.push_back(*s);
    return route;
}

} // namespace Itn
