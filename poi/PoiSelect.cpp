// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/PoiSelect.h"

#include "core/RBParams.h"
#include "core/RBParamsTable.h"
#include "platform/Progress.h"
#include "core/Ov2Units.h"

#include <QCoreApplication>

std::vector<int> rowsContainingText(const TRBParamsTable &table, const QString &text)
{
    std::vector<int> out;
    if (text.isEmpty())
        return out;
    for (int r = 1; r < table.RowCount(); ++r)
        if (table.Row(r).FieldView(3).contains(text, Qt::CaseInsensitive))
            out.push_back(r);
    return out;
}

std::optional<PoiRegion> parseSavedView(const QString &initialView)
{
    TRBParams f;
    f.ParseFields(initialView, 0, TRBCharSet{','}, RBConventions::doubleQuote(), RBConventions::blankSet());
    if (f.Count() < 4)
        return std::nullopt;
    auto units = [&](int i) { return toOv2UnitsValue(f.FieldView(i)).value_or(0); };
    return PoiRegion{units(0), units(1), units(2), units(3)};
}

std::vector<int> rowsInRegion(const TRBParamsTable &table, const PoiRegion &g)
{
    std::vector<int> out;
    for (int r = 1; r < table.RowCount(); ++r) {
        const TRBParams &row = table.Row(r);
        const auto lon = parseOv2Integer(row.FieldView(1));
        const auto lat = parseOv2Integer(row.FieldView(2));
        if (!lon || !lat)
            continue;
        if (g.west <= *lon && *lon < g.east && g.south <= *lat && *lat < g.north)
            out.push_back(r);
    }
    return out;
}

int findDescription(const TRBParamsTable &table, int currentRow, const QString &text, bool down, bool matchCase,
                    IProgress *progress)
{
    const int rows = table.RowCount();
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (progress)
        progress->ShowProgress(QCoreApplication::translate("TOV2", "Searching for: ") + text, 1, std::max(rows, 2), 1);
    ProgressTicker ticker(progress);
    const int step = down ? 1 : -1;
    for (int r = down ? std::max(currentRow + 1, 1) : std::min(currentRow - 1, rows - 1); r >= 1 && r < rows;
         r += step) {
        ticker.tick(r);
        if (table.Row(r).FieldView(3).contains(text, cs)) {
            if (progress)
                progress->SetStatus(QString()); // the search is over either way
            return r;
        }
    }
    if (progress)
        progress->SetStatus(QString());
    return -1;
}
