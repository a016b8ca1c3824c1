// SPDX-License-Identifier: GPL-3.0-or-later
// The one way a list editor's long job stops: Escape pressed while it runs.
#include "grid/EscapeWatch.h"
#include "grid/FindDialog.h"
#include "grid/RBItnGrid.h"
#include "itn/Itn.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

class KeyCounter : public QWidget {
public:
    int escapes = 0, others = 0;

protected:
    void keyPressEvent(QKeyEvent *e) override { ++(e->key() == Qt::Key_Escape ? escapes : others); }
};

void press(QWidget &w, Qt::Key key)
{
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

} // namespace

TEST(EscapeWatch, OnlyAPressWhileAJobRunsStopsItAndTheJobTakesTheKey)
{
    KeyCounter w;
    press(w, Qt::Key_Escape); // no job: the key is the widget's
    EXPECT_EQ(w.escapes, 1);
    {
        EscapeWatch job;
        EXPECT_FALSE(job.stopped()) << "a press before the job does not count";
        press(w, Qt::Key_A);
        EXPECT_FALSE(job.stopped());
        EXPECT_EQ(w.others, 1);
        press(w, Qt::Key_Escape);
        EXPECT_TRUE(job.stopped());
        EXPECT_EQ(w.escapes, 1) << "the stopping key must not also reach the widget";
    }
    {
        // A job inside another (a search started from a progress step): both stop.
        EscapeWatch outer;
        std::optional<EscapeWatch> inner(std::in_place);
        press(w, Qt::Key_Escape);
        EXPECT_TRUE(inner->stopped());
        EXPECT_TRUE(outer.stopped());
        inner.reset();
        EscapeWatch next;
        EXPECT_FALSE(next.stopped());
    }
    press(w, Qt::Key_Escape);
    EXPECT_EQ(w.escapes, 2) << "after the jobs the key is the widget's again";
    EscapeWatch manual;
    manual.stop();
    EXPECT_TRUE(manual.stopped());
}

namespace {
// Escape arrives as the reversal shows its progress.
class EscapeShell : public QuietShell {
public:
    using QuietShell::QuietShell;
    QWidget *target = nullptr;
    void ShowProgress(const QString &, int, int, int) override
    {
        if (target)
            press(*target, Qt::Key_Escape);
    }
};
} // namespace

TEST(EscapeWatch, StopsTheItineraryReversalAndTheFindDialogIsTheSharedOne)
{
    TempFolder tmp;
    EscapeShell shell(tmp.file("Korvix.ini"));
    auto edit = std::make_unique<TItnEdit>(shell);
    edit->setAttribute(Qt::WA_DeleteOnClose, false);
    for (int i = 1; i <= 6; ++i)
        edit->AddItn(QString::number(19 + i), "50", QStringLiteral("P%1").arg(i));
    TRBItnGrid *grid = edit->ItnGrid();
    shell.target = grid->viewport();
    edit->Reverse1Click();
    // Stopped after its first step: only the ends changed places.
    QStringList names;
    for (int r = 1; r < grid->RowCount(); ++r)
        names << grid->GetCell(3, r);
    EXPECT_EQ(names, (QStringList{"P6", "P2", "P3", "P4", "P5", "P1"}));
    shell.target = nullptr;
    edit->Reverse1Click();
    names.clear();
    for (int r = 1; r < grid->RowCount(); ++r)
        names << grid->GetCell(3, r);
    EXPECT_EQ(names, (QStringList{"P1", "P5", "P4", "P3", "P2", "P6"}));

    edit->ShowFind();
    auto *find = edit->findChild<TFindDialog *>();
    ASSERT_NE(find, nullptr);
    grid->SetCurrentCell(1, 1);
    find->setFindText("p3");
    find->findNext();
    EXPECT_EQ(grid->Row(), 4);
    find->setDown(false);
    find->setFindText("P1");
    find->findNext();
    EXPECT_EQ(grid->Row(), 1);
    find->close();
}
