// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBGrids.h"

#include "grid/RBGridModel.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

// ---- clipboard ----------------------------------------------------------------------

QString TRBGrid::MarkedRowsText() const
{
    QString text;
    if (ColCount() <= m_fixedCols)
        return text;
    const QString quote = RBConventions::doubleQuote();
    // Sized first: a million rows make a text of 100 MB, which must not be grown by
    // doubling.
    qsizetype size = 0;
    for (int r = m_fixedRows; r < RowCount(); ++r)
        if (m_table.Flags(m_fixedCols, r) & RBFlags::RowMark)
            size += m_table.Row(r).JoinedLength(1, QLatin1Char('\t'), quote) + 2;
    text.reserve(size);
    bool first = true;
    for (int r = m_fixedRows; r < RowCount(); ++r) {
        if (!(m_table.Flags(m_fixedCols, r) & RBFlags::RowMark))
            continue;
        if (!first)
            text += QLatin1String("\r\n");
        first = false;
        m_table.Row(r).JoinFieldsTo(text, 1, QLatin1Char('\t'), quote);
    }
    return text;
}

void TRBGrid::CopyMarkedRows()
{
    const QString text = MarkedRowsText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TRBGrid::CutMarkedRows()
{
    if (!m_enableRowEdit || ColCount() <= m_fixedCols)
        return;
    const QString text = MarkedRowsText();
    DeleteMarkedRows();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TRBGrid::CopySelection()
{
    if (HasMarkedRow(RBFlags::RowMark))
        CopyMarkedRows();
    else if (Row() >= m_fixedRows && Col() >= m_fixedCols)
        QGuiApplication::clipboard()->setText(GetCell(Col(), Row()));
}

void TRBGrid::CutSelection()
{
    if (HasMarkedRow(RBFlags::RowMark)) {
        CutMarkedRows();
    } else if (Row() >= m_fixedRows && Col() >= m_fixedCols && m_cellEditing) {
        QGuiApplication::clipboard()->setText(GetCell(Col(), Row()));
        commitEditText(Col(), Row(), QString());
        viewport()->update();
    }
}

void TRBGrid::DeleteSelectedRows()
{
    if (!m_enableRowEdit)
        return;
    if (HasMarkedRow(RBFlags::RowMark))
        DeleteMarkedRows();
    else if (Row() >= m_fixedRows)
        DeleteRow(Row());
}

void TRBGrid::DeleteMarkedRows()
{
    if (!m_enableRowEdit || ColCount() <= m_fixedCols)
        return;
    // Delete the marked rows in one pass; a grid never loses its last data row.
    const int n = RowCount();
    int deleted = 0;
    std::vector<char> del(size_t(n), 0);
    for (int r = m_fixedRows; r < n; ++r)
        if (m_table.Flags(m_fixedCols, r) & RBFlags::RowMark) {
            del[size_t(r)] = 1;
            ++deleted;
        }
    if (deleted > 0) {
        const int cur = Row(), col = Col();
        HideEditor();
        const bool record = recording();
        TRBParamsTable::RowSet taken;
        m_model->beginReset();
        if (record)
            taken = takeRows(del);
        else
            m_table.RemoveRows(del);
        const bool filler = m_table.RowCount() <= m_fixedRows;
        if (filler)
            m_table.AppendRow();
        m_model->endReset();
        if (record)
            recordRowsOut(std::move(taken), filler);
        m_numberedUpTo = 0;
        for (int i = 0; i < deleted; ++i)
            fireChanged();
        if (m_autoSize)
            std::fill(m_colDirty.begin(), m_colDirty.end(), 1);
        SetCurrentCell(col, std::min(cur, RowCount() - 1));
    }
    UnmarkAllRows(0xFF);
    applyHeaderAndNumbers();
    if (m_autoSize)
        fitDirtyColumns();
    viewport()->update();
}

void TRBGrid::PasteRows()
{
    if (!m_enableRowEdit)
        return;
    PasteText(QGuiApplication::clipboard()->text());
}

void TRBGrid::PasteText(QString text)
{
    if (!m_enableRowEdit)
        return;
    bool ok = false;
    if (OnPaste)
        OnPaste(this, text, ok);
    TRBParams lines;
    lines.SplitText(text, u"\r\n", RBConventions::blankSet());
    const int count = lines.Count();
    if (count < 1)
        return;
    HideEditor();
    UnmarkAllRows(0xFF);
    const int at = std::clamp(Row(), m_fixedRows, RowCount());
    const int col = Col();
    // All rows at once: the same rows as inserting one empty row per line from the
    // last line to the first.
    m_model->beginInsert(at - m_fixedRows, at - m_fixedRows + count - 1, true);
    m_table.InsertRows(at, count);
    {
        const TRBCharSet tab = RBConventions::tabSet(), blank = RBConventions::blankSet();
        const QString quote = RBConventions::doubleQuote();
        for (int i = 0; i < count; ++i) {
            TRBParams &row = m_table.Row(at + i);
            row.Append(QString::number(at + i)); // arrives numbered
            row.ParseFields(lines.FieldView(i), 1, tab, quote, blank);
        }
    }
    m_model->endInsert(true);
    if (recording())
        recordRowsIn(at, count);
    numbersInvalidFrom(at);
    measureRows(at, at + count - 1);
    applyHeaderAndNumbers();
    if (m_autoSize) {
        fitDirtyColumns();
        for (int r = at; r < at + count; ++r)
            fitRow(r);
    }
    SetCurrentCell(col, at);
    viewport()->update();
    fireChanged();
}
