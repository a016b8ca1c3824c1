// SPDX-License-Identifier: GPL-3.0-or-later
// Sorting the data rows by a column, from a click on its header.
#include "grid/RBGrids.h"

#include "grid/RBGridDelegate.h"
#include "grid/RBGridModel.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {
// Whole numbers (the coordinate columns) without the locale's parser: a million
// cells in a few milliseconds.
bool wholeNumber(QStringView s, double &value)
{
    qsizetype i = 0;
    const bool negative = !s.isEmpty() && (s[0] == u'-' || s[0] == u'+') && s[i++] == u'-';
    if (i >= s.size() || s.size() - i > 15)
        return false;
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    value = double(negative ? -v : v);
    return true;
}
} // namespace

void TRBGrid::SetSortable(bool on)
{
    if (on == m_sortable)
        return;
    m_sortable = on;
    m_hHeader->setSectionsClickable(on);
    if (on)
        connect(m_hHeader, &QHeaderView::sectionClicked, this, [this](int logical) { headerClicked(logical + m_fixedCols); });
    else
        disconnect(m_hHeader, &QHeaderView::sectionClicked, this, nullptr);
}

void TRBGrid::headerClicked(int col)
{
    if (m_sortable)
        SortByColumn(col, col == m_sortCol ? !m_sortDescending : false);
}

void TRBGrid::SortByColumn(int col, bool descending)
{
    if (col < m_fixedCols || col >= ColCount())
        return;
    HideEditor();
    const int n = RowCount();
    // Rows with a text in the column are sorted; rows without one keep their order
    // after them, empty rows last of all, whichever the direction.
    std::vector<int> filled, blank, empty;
    filled.reserve(size_t(n));
    for (int r = m_fixedRows; r < n; ++r) {
        if (!std::as_const(m_table).Row(r).FieldView(col).trimmed().isEmpty())
            filled.push_back(r);
        else
            (IsRowEmpty(r) ? empty : blank).push_back(r);
    }
    const size_t m = filled.size();
    std::vector<int> pos(m);
    for (size_t i = 0; i < m; ++i)
        pos[i] = int(i);

    std::vector<double> numbers(m);
    bool numeric = true;
    const QLocale c = QLocale::c();
    for (size_t i = 0; i < m && numeric; ++i) {
        const QStringView text = std::as_const(m_table).Row(filled[i]).FieldView(col).trimmed();
        if (wholeNumber(text, numbers[i]))
            continue;
        bool ok = false;
        numbers[i] = c.toDouble(text, &ok);
        numeric = ok && !std::isnan(numbers[i]);
    }
    if (numeric) {
        if (descending)
            std::stable_sort(pos.begin(), pos.end(), [&](int a, int b) { return numbers[size_t(a)] > numbers[size_t(b)]; });
        else
            std::stable_sort(pos.begin(), pos.end(), [&](int a, int b) { return numbers[size_t(a)] < numbers[size_t(b)]; });
    } else {
        numbers = {};
        QCollator collator; // the user's locale
        std::vector<QCollatorSortKey> keys;
        keys.reserve(m);
        for (int r : filled)
            keys.push_back(collator.sortKey(std::as_const(m_table).Row(r).GetField(col)));
        if (descending)
            std::stable_sort(pos.begin(), pos.end(), [&](int a, int b) { return keys[size_t(b)].compare(keys[size_t(a)]) < 0; });
        else
            std::stable_sort(pos.begin(), pos.end(), [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    }

    std::vector<int> order;
    order.reserve(size_t(n));
    for (int r = 0; r < m_fixedRows; ++r)
        order.push_back(r);
    for (int p : pos)
        order.push_back(filled[size_t(p)]);
    order.insert(order.end(), blank.begin(), blank.end());
    order.insert(order.end(), empty.begin(), empty.end());

    const int oldCol = m_sortCol;
    const bool oldDescending = m_sortDescending;
    m_model->beginReset();
    m_table.Permute(order);
    m_model->endReset();
    m_sortCol = col;
    m_sortDescending = descending;
    m_hHeader->viewport()->update(); // the arrow moves to this column
    rowsReplaced();
    if (recording())
        recordOrder(std::move(order), col, descending, oldCol, oldDescending);
    fireChanged();
}
