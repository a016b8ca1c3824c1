// SPDX-License-Identifier: GPL-3.0-or-later
// Coordinates typed into the POI editor's list and its "Edit POI" dialog: converted
// to the list's units, explained when they cannot be read, refused by the save with
// the row and the reason in the message.
#include "grid/RBActions.h"
#include "grid/RBGrids.h"
#include "poi/LatLng.h"
#include "poi/Ov2Editor.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

class StatusShell : public QuietShell {
public:
    void SetStatus(const QString &text) override { status = text; }
    QString status;
};

struct Window {
    StatusShell shell;
    TOV2 *w = new TOV2(shell);
    QStringList messages; // caption | text

    Window()
    {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->dialogs.message = [this](QWidget *, const QString &caption, const QString &text, const QString &) {
            messages << caption + "|" + text;
        };
        w->dialogs.ask = [](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) { return QMessageBox::No; };
    }
    ~Window() { delete w; }
    TRBGrid &grid() { return *w->grid(); }

    void type(int col, int row, const QString &text)
    {
        grid().setFocus();
        grid().SetCurrentCell(col, row);
        QTest::keyClick(&grid(), Qt::Key_F2);
        QLineEdit *editor = nullptr;
        for (QLineEdit *e : grid().viewport()->findChildren<QLineEdit *>())
            if (e->isVisible())
                editor = e;
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
};

QByteArray twoPois()
{
    return Ov2Bytes().poi(1993500, 5006200, "Rynek").poi(1993510, 5006200, "Sukiennice");
}

} // namespace

TEST(Ov2CoordinateEditing, TypedDegreesAreSavedAsUnits)
{
    TempFolder tmp;
    const QString file = tmp.write("a.ov2", twoPois());
    Window f;
    ASSERT_TRUE(f.w->OpenOV2(file));
    f.w->show();
    f.type(1, 2, "19,95");
    f.type(2, 2, QString::fromUtf8("50°03'36\"N"));
    EXPECT_EQ(f.grid().GetCell(1, 2), "1995000");
    EXPECT_EQ(f.grid().GetCell(2, 2), "5006000");
    f.w->Save();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join(",").toStdString();
    // After the area record the save puts first, the records with the units.
    EXPECT_TRUE(readAll(file).endsWith(
        QByteArray(Ov2Bytes().poi(1993500, 5006200, "Rynek").poi(1995000, 5006000, "Sukiennice"))));
}

TEST(Ov2CoordinateEditing, AnUnreadableCellIsExplainedAndTheSaveSaysRowAndReason)
{
    TempFolder tmp;
    const QString file = tmp.write("a.ov2", twoPois());
    Window f;
    ASSERT_TRUE(f.w->OpenOV2(file));
    f.w->show();
    f.type(2, 2, "91");
    EXPECT_EQ(f.grid().GetCell(2, 2), "91") << "an integer is units, as before";
    f.type(2, 2, QString::fromUtf8("91°"));
    EXPECT_EQ(f.grid().GetCell(2, 2), QString::fromUtf8("91°"));
    EXPECT_TRUE(f.grid().OnCellFault(&f.grid(), 2, 2, f.grid().GetCell(2, 2)));
    EXPECT_EQ(f.shell.status.toStdString(), "Row 2: \"91°\" cannot be read: a latitude lies within 90°");

    f.w->Save();
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_EQ(f.messages[0].toStdString(),
              "POI|Problem with saving files!\nRow 2: latitude \"91°\" is not a whole number of 1/100000 degrees");
    EXPECT_EQ(readAll(file), twoPois());
}

TEST(Ov2CoordinateEditing, ApplyInEditPoiWritesTheRowAndCtrlZUndoesIt)
{
    TempFolder tmp;
    const QString file = tmp.write("a.ov2", twoPois());
    Window f;
    ASSERT_TRUE(f.w->OpenOV2(file));
    RBActions actions;
    f.w->addAction(actions.RBUndoAction1);
    f.w->show();
    f.grid().SetCurrentCell(1, 2);

    QString seen;
    bool applyEnabledOnBadText = true;
    QTimer::singleShot(0, [&] {
        TLatLng *dialog = TLatLng::instance();
        auto *edit = dialog->findChild<QLineEdit *>();
        seen = edit->text();
        QPushButton *apply = dialog->applyButton();
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("E 19.94, N 95"));
        applyEnabledOnBadText = apply->isEnabled();
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8("E 19°56'24\" N 50°3'36\""));
        QTest::mouseClick(apply, Qt::LeftButton);
        EXPECT_EQ(dialog->resultText().toStdString(), "Lng: 19.94\nLat: 50.06") << "the display is as before";
        dialog->reject();
    });
    f.w->EditPoi();
    EXPECT_EQ(seen.toStdString(), "19.93510, 50.06200");
    EXPECT_FALSE(applyEnabledOnBadText) << "a latitude beyond 90° cannot be applied";
    EXPECT_EQ(f.grid().GetCell(1, 2), "1994000");
    EXPECT_EQ(f.grid().GetCell(2, 2), "5006000");
    EXPECT_TRUE(f.w->isModified());
    EXPECT_FALSE(TLatLng::instance()->applyButton()->isVisible()) << "no Apply once the row's dialog is gone";

    // One Ctrl+Z takes the position back.
    f.w->activateWindow();
    f.grid().setFocus();
    QApplication::processEvents();
    actions.UpdateActions();
    QTest::keyClick(&f.grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.grid().GetCell(1, 2), "1993510");
    EXPECT_EQ(f.grid().GetCell(2, 2), "5006200");
    EXPECT_FALSE(f.w->isModified());
}
