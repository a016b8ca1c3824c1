// SPDX-License-Identifier: GPL-3.0-or-later
// The POI list's searches: Find and F3, Select, the saved region and the duplicates.
#include "poi/Ov2Editor.h"

#include "grid/EscapeWatch.h"
#include "grid/FindDialog.h"
#include "grid/RBGrids.h"
#include "platform/Progress.h"
#include "core/Settings.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "core/Duplicates.h"
#include "poi/PoiSelect.h"

#include <QPointer>

void TOV2::ShowFind()
{
    if (!m_find) {
        m_find = new TFindDialog(this);
        connect(m_find, &TFindDialog::find, this, &TOV2::findNext);
    }
    m_find->setFindText(FindText);
    m_find->show();
    m_find->raise();
}

void TOV2::findNext(const QString &text, bool down, bool matchCase)
{
    FindText = text;
    m_stepFinds = true;
    m_findMatchCase = matchCase;
    const int row = findDescription(m_grid->Table(), m_grid->Row(), text, down, matchCase, &m_shell);
    if (row > 0) {
        m_grid->SetCurrentCell(3, row);
        m_grid->GoToRow(row);
    }
    if (m_countedText != text) {
        m_countedText = text;
        m_matchCount = int(rowsContainingText(m_grid->Table(), text).size());
    }
    m_shell.SetStatus(matchesText(m_matchCount));
}

QString TOV2::matchesText(int n)
{
    return n == 1 ? tr("1 match") : tr("%1 matches").arg(n);
}

void TOV2::SelectText()
{
    bool ok = false;
    const QString text = dialogs.inputText(this, tr("FindText"), tr("Text to serch for:"), QString(), ok);
    selectText(ok ? text : QString());
}

void TOV2::selectText(const QString &text)
{
    FindText = text;
    m_stepFinds = false;
    const std::vector<int> rows = rowsContainingText(m_grid->Table(), text);
    for (int row : rows)
        m_grid->MarkRow(row, RBFlags::RowMark);
    // The first match is brought into view; F3 and Shift+F3 go on from it.
    if (!rows.empty())
        m_grid->GoToRow(rows.front());
    if (!text.isEmpty())
        m_shell.SetStatus(matchesText(int(rows.size())));
}

void TOV2::SelectRegion()
{
    const auto region = parseSavedView(Prefs::map(m_shell.settings()).initialView());
    if (!region)
        return;
    for (int row : rowsInRegion(m_grid->Table(), *region))
        m_grid->MarkRow(row, RBFlags::RowMark);
}

void TOV2::Duplicates()
{
    // At 0 m only identical points would count: the distance is asked once and kept.
    int distance = Prefs::lists(m_shell.settings()).maxDistance();
    if (distance <= 0) {
        bool ok = false;
        distance = dialogs.askDistance(this, 50, ok);
        if (!ok || distance <= 0)
            return;
        Prefs::lists(m_shell.settings()).setMaxDistance(distance);
    }
    findDuplicates(distance);
}

void TOV2::findDuplicates(int maxDistance)
{
    if (m_job)
        return;
    m_grid->UnmarkAllRows(0xFF);
    const int rows = m_grid->RowCount();
    EscapeWatch escape;
    m_job = &escape;
    m_shell.ShowProgress(tr("Find Duplicates"), 1, rows, 1);
    QPointer<TOV2> alive(this);
    ProgressTicker ticker(&m_shell);
    const DuplicateResult r = ::findDuplicates(poiRowPoints(m_grid->Table()), double(maxDistance), [&](int row) {
        ticker.tick(row);
        return escape.stopped();
    });
    if (!alive)
        return;
    m_job = nullptr;
    const int n = std::min(rows, int(r.dupOf.size()));
    int marked = 0;
    for (int row = 1; row < n; ++row) {
        if (const int ref = r.dupOf[size_t(row)]) {
            m_grid->MarkRow(row, RBFlags::Duplicate);
            m_grid->SetCell(4, row, duplicateReferenceText(ref));
            ++marked;
        }
    }
    for (int row = 1; row < n; ++row)
        if (r.hasDuplicates[size_t(row)])
            m_grid->MarkRow(row, RBFlags::RowDuplicates);
    if (r.firstGroupRow > 0)
        m_grid->SetCurrentCell(1, r.firstGroupRow);
    m_shell.SetProgress(rows);
    // The distance is named so a search with the setting still at 0 explains itself.
    m_shell.SetStatus(marked == 0   ? tr("No duplicates within %1 m").arg(maxDistance)
                      : marked == 1 ? tr("Marked 1 duplicate within %1 m").arg(maxDistance)
                                    : tr("Marked %1 duplicates within %2 m").arg(marked).arg(maxDistance));
}

