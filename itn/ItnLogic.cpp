// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/ItnLogic.h"

#include "itn/ItnFormat.h"
#include "core/Duplicates.h"
#include "core/GreatCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace Itn {

GeoDegrees rowPoint(const TRBParamsTable &rows, int row)
{
    const TRBParams &p = rows.Row(row);
    return {double(cellInteger(p.FieldView(1))) / 100000.0, double(cellInteger(p.FieldView(2))) / 100000.0};
}

DuplicateMarks findDuplicates(const TRBParamsTable &rows, double maxDistance, const StepFn &step)
{
    DuplicateMarks m;
    const int n = rows.RowCount();
    m.bits.assign(size_t(std::max(n, 0)), 0);
    // The POI editor's search: the same rule (a later point joins the first earlier
    // one in reach, a marked point still takes others), in about linear time.
    std::vector<GeoDegrees> pts(size_t(std::max(n, 0)));
    for (int r = 1; r < n; ++r)
        pts[size_t(r)] = rowPoint(rows, r);
    const DuplicateResult found = ::findDuplicates(pts, maxDistance, step ? DuplicateStep(step) : DuplicateStep());
    for (int r = 1; r < n; ++r) {
        if (found.dupOf[size_t(r)])
            m.bits[size_t(r)] |= 0xC0;
        if (found.hasDuplicates[size_t(r)])
            m.bits[size_t(r)] |= 0x40;
    }
    m.firstGroupRow = found.firstGroupRow;
    m.stopped = found.cancelled;
    return m;
}

void swapPoints(TRBParamsTable &rows, int a, int b)
{
    if (a == b || a < 0 || b < 0)
        return;
    TRBParams &ra = rows.Row(a);
    TRBParams &rb = rows.Row(b);
    const QString na = ra.GetField(0), nb = rb.GetField(0);
    const bool hadA = ra.Count() > 0, hadB = rb.Count() > 0;
    std::swap(ra, rb);
    if (hadA || ra.Count() > 0)
        ra.SetField(0, na);
    if (hadB || rb.Count() > 0)
        rb.SetField(0, nb);
    rows.ExchangeCells(a, b, 1);
}

int reverseRows(TRBParamsTable &rows, const StepFn &step)
{
    int pairs = 0;
    for (int j = 1, i = rows.RowCount() - 1; j < i; ++j, --i) {
        swapPoints(rows, j, i);
        ++pairs;
        if (step && step(pairs))
            break;
    }
    return pairs;
}

int findName(const TRBParamsTable &rows, int current, const QString &text, bool down, bool matchCase)
{
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (down) {
        for (int r = std::max(current + 1, 1); r < rows.RowCount(); ++r)
            if (rows.Row(r).FieldView(3).contains(text, cs))
                return r;
    } else {
        for (int r = std::min(current - 1, rows.RowCount() - 1); r >= 1; --r)
            if (rows.Row(r).FieldView(3).contains(text, cs))
                return r;
    }
    return -1;
}

} // namespace Itn
