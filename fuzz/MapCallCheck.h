// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a layer may send the map page: known functions whose arguments are plain
// decimals or whole JSON string literals. Anything else could run in the page.
#include "map/MapLists.h"

#include <QString>
#include <QStringList>

#include <cstdlib>

namespace MapCallCheck {

inline bool decimal(const QString &s, qsizetype &i)
{
    const qsizetype start = i;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    int digits = 0;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
        ++i, ++digits;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
            ++i, ++digits;
    }
    // "%.15g" may write an exponent.
    if (digits && i < s.size() && s[i] == u'e') {
        ++i;
        if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
            ++i;
        while (i < s.size() && s[i].isDigit())
            ++i;
    }
    return digits > 0 || (i = start, false);
}

inline bool jsonString(const QString &s, qsizetype &i)
{
    if (i >= s.size() || s[i] != u'"')
        return false;
    for (++i; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c == u'"')
            return ++i, true;
        if (c < 0x20 || c == 0x2028 || c == 0x2029)
            return false;
        if (c == u'\\') {
            if (++i >= s.size())
                return false;
            if (!QStringView(u"\"\\/bfnrtu").contains(s[i]))
                return false;
        }
    }
    return false;
}

inline bool valid(const QString &call)
{
    static const QStringList functions = {"WB_Poliline_clr", "WB_Poliline_add", "WB_Poliline", "WB_POI", "WB_Icon",
                                          "WB_POIRefresh", "WB_Bounds", "WB_Raster"};
    const qsizetype open = call.indexOf(u'(');
    if (open < 0 || !functions.contains(call.left(open)) || !call.endsWith(QLatin1String(");")))
        return false;
    qsizetype i = open + 1;
    const qsizetype end = call.size() - 2;
    while (i < end) {
        if (!jsonString(call, i) && !decimal(call, i) && !(call.mid(i, 5) == QLatin1String("false") && (i += 5)))
            return false;
        if (i < end && call[i++] != u',')
            return false;
    }
    return i == end;
}

// Aborts the run on the first call that is not valid.
struct Checked : IMapCalls {
    void send(const QString &call) override
    {
        if (!valid(call))
            std::abort();
    }
};

} // namespace MapCallCheck
