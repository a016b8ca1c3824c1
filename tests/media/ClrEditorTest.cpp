// SPDX-License-Identifier: GPL-3.0-or-later
// The scheme editor: grid, in-place editing, colour picking, preview, saving, closing.
#include "media/SchemEdit.h"

#include "grid/RBGrids.h"
#include "media/ClrFile.h"
#include "media/ClrPreview.h"
#include "platform/Error.h"
#include "platform/Folders.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FakeShell : public QuietShell {
public:
    explicit FakeShell(const QString &ini) : QuietShell(ini) {}
    void UpdateTreeView(const QString &path, int action) override { updates << qMakePair(path, action); }
    QList<QPair<QString, int>> updates;
};

struct Fixture {
    TempFolder tmp;
    FakeShell shell{tmp.file("Korvix.ini")};
    QPointer<TSchemEdit> edit = new TSchemEdit(shell);
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::No;
    int questions = 0;
    QString saveName;
    QStringList saveDialogs; // folder|name proposed
    QColor picked;

    Fixture()
    {
        edit->prompts.askSave = [this](QWidget *) {
            ++questions;
            return answer;
        };
        edit->prompts.saveFile = [this](QWidget *, const QString &dir, const QString &name) {
            saveDialogs << dir + "|" + name;
            return saveName;
        };
        edit->prompts.pickColor = [this](QWidget *, const QColor &) { return picked; };
        edit->prompts.message = [this](QWidget *, const QString &text) { messages << text; };
        edit->resize(700, 640);
        edit->show();
    }
    ~Fixture() { delete edit.data(); }

    // The preview's colour at a pixel that shows entry `k`.
    QRgb previewColorOf(int k) const
    {
        const QImage base = ClrPreview::builtIn();
        for (int y = 0; y < base.height(); ++y)
            for (int x = 0; x < base.width(); ++x)
                if (base.pixelIndex(x, y) == k - 1)
                    return edit->preview().pixel(x, y);
        return 0;
    }
    QLineEdit *startEdit(int col, int row)
    {
        TRBGrid *g = edit->grid();
        g->setFocus();
        g->SetCurrentCell(col, row);
        QTest::keyClick(g, Qt::Key_F2);
        for (QLineEdit *e : g->viewport()->findChildren<QLineEdit *>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    static void type(QLineEdit *e, const QString &text, Qt::Key end = Qt::Key_Return)
    {
        e->setText(text);
        QTest::keyClick(e, end);
        QApplication::processEvents(); // the grid commits queued
    }
    // Closing deletes the window later.
    void close(QPointer<TSchemEdit> &w)
    {
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QString write71(const TempFolder &tmp, const QString &name)
{
    QList<Clr::Row> rows;
    for (int k = 1; k <= Clr::EntryCount; ++k)
        rows.append({Clr::colorCell(quint32(k) << 8), QStringLiteral("hand-written %1").arg(k)});
    return tmp.write(name, Clr::writeText(rows));
}

} // namespace

TEST(SchemEditor, ANewSchemeIsAllBlackWithTheEntryDescriptions)
{
    Fixture f;
    TRBGrid *g = f.edit->grid();
    EXPECT_EQ(g->RowCount(), 72);
    EXPECT_EQ(g->GetCell(1, 0), "Color");
    EXPECT_EQ(g->GetCell(1, 1), "$00000000");
    EXPECT_EQ(g->GetCell(2, 1), "background");
    EXPECT_EQ(g->GetCell(2, 71), "Distant route color");
    EXPECT_TRUE(g->GetCellFlags(1, 40) & RBFlags::ColorSwatch);
    EXPECT_EQ(f.previewColorOf(1), qRgb(0, 0, 0));
    EXPECT_EQ(f.previewColorOf(70), qRgb(0, 0, 0));
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_EQ(f.edit->windowTitle(), QString());
}

TEST(SchemEditor, OpenFillsTheCellsAndThePreviewAndSavesTheSameBytes)
{
    Fixture f;
    const QString path = write71(f.tmp, "Night.clr");
    f.edit->Open(path);
    TRBGrid *g = f.edit->grid();
    EXPECT_EQ(g->RowCount(), 72);
    EXPECT_EQ(g->GetCell(1, 3), "$00000300");
    EXPECT_EQ(g->GetCell(2, 3), "water solid");   // the editor's words, not the file's
    EXPECT_EQ(f.edit->windowTitle(), path);
    EXPECT_EQ(f.previewColorOf(3), qRgb(0, 3, 0));
    EXPECT_EQ(f.previewColorOf(71), qRgb(0, 71, 0));
    f.edit->Save();
    EXPECT_EQ(f.saveDialogs.size(), 0);
    QList<Clr::Row> own;
    for (int k = 1; k <= Clr::EntryCount; ++k)
        own.append({Clr::colorCell(quint32(k) << 8), Clr::description(k)});
    const QByteArray saved = readAll(path);
    EXPECT_EQ(saved, Clr::writeText(own));
    ASSERT_EQ(f.shell.updates.size(), 1);
    EXPECT_EQ(f.shell.updates[0], qMakePair(path, 5));
    // Reopened and saved again: the same bytes.
    Fixture again;
    again.edit->Open(path);
    again.edit->Save();
    EXPECT_EQ(readAll(path), saved);
}

TEST(SchemEditor, ShortFilesAndFilesWithoutFinalLineEnd)
{
    Fixture f;
    QByteArray text = "; sixty\r\n";
    for (int k = 1; k <= 60; ++k)
        text += QByteArray::number(k) + ",0,0\r\n";
    text.chop(2);
    const QString path = f.tmp.write("short.clr", text);
    f.edit->Open(path);
    EXPECT_EQ(f.edit->grid()->RowCount(), 61);
    EXPECT_EQ(f.edit->grid()->GetCell(1, 60), "$0000003C");
    EXPECT_EQ(f.edit->grid()->GetCell(2, 60), Clr::description(60));
    f.edit->Save();
    const QByteArray saved = readAll(path);
    EXPECT_EQ(saved.count("\r\n"), 60);
    EXPECT_TRUE(saved.endsWith("060,000,000 // " + Clr::description(60).toLatin1() + "\r\n"));
}

TEST(SchemEditor, AFailedOpenKeepsTheRowsReadAndThePath)
{
    Fixture f;
    const QString good = write71(f.tmp, "good.clr");
    f.edit->Open(good);
    const QString bad = f.tmp.write("bad.clr", "9,0,0\r\n8,0,0\r\nseven,0,0\r\n");
    EXPECT_THROW(f.edit->Open(bad), KorvixError);
    EXPECT_EQ(f.edit->schemePath(), good);
    EXPECT_EQ(f.edit->windowTitle(), good);
    EXPECT_EQ(f.edit->grid()->RowCount(), 72);
    EXPECT_EQ(f.edit->grid()->GetCell(1, 2), "$00000008");
    EXPECT_EQ(f.edit->grid()->GetCell(1, 3), "$00000300");
    EXPECT_THROW(f.edit->Open(f.tmp.file("none.clr")), KorvixError);
    EXPECT_EQ(f.edit->schemePath(), good);

    // 300 entries: the preview stays as it was, without a message.
    const QRgb before = f.previewColorOf(1);
    QByteArray many;
    for (int k = 0; k < 300; ++k)
        many += "0,0,255\r\n";
    f.edit->Open(f.tmp.write("many.clr", many));
    EXPECT_EQ(f.edit->grid()->RowCount(), 301);
    EXPECT_EQ(f.previewColorOf(1), before);
    EXPECT_TRUE(f.messages.isEmpty());
}

TEST(SchemEditor, TypingAColourNumberMarksModifiedAndRecoloursThePreview)
{
    Fixture f;
    const QString path = f.tmp.file("typed.clr");
    QLineEdit *e = f.startEdit(1, 4);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), "$00000000");
    EXPECT_EQ(f.edit->editStartText(), "$00000000");
    Fixture::type(e, QString::number(255 * 65536));
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_EQ(f.edit->windowTitle(), "*");
    EXPECT_EQ(f.edit->grid()->GetCell(1, 4), "16711680"); // kept as typed
    EXPECT_EQ(f.previewColorOf(4), qRgb(0, 0, 255));

    // The same colour in other words changes nothing.
    f.edit->Cap(false);
    e = f.startEdit(1, 4);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->text(), "$00FF0000");
    Fixture::type(e, "$FF0000");
    EXPECT_FALSE(f.edit->isModified());

    f.saveName = path;
    f.edit->Save();
    EXPECT_TRUE(readAll(path).split('\n').value(3).startsWith("000,000,255 // park"));
    EXPECT_EQ(f.edit->schemePath(), path); // a new scheme goes on under the name it was saved as
    EXPECT_EQ(f.edit->windowTitle(), path);
}

TEST(SchemEditor, EscapeRestoresTheTextBeforeTheEdit)
{
    Fixture f;
    f.edit->grid()->SetCell(2, 5, "my woods");
    QLineEdit *e = f.startEdit(2, 5);
    ASSERT_TRUE(e);
    Fixture::type(e, "changed", Qt::Key_Escape);
    QTest::keyRelease(f.edit->grid(), Qt::Key_Escape);
    EXPECT_EQ(f.edit->grid()->GetCell(2, 5), "my woods");
    EXPECT_FALSE(f.edit->isModified());
    // An Escape released elsewhere after the edit ended leaves other cells alone.
    e = f.startEdit(2, 5);
    ASSERT_TRUE(e);
    Fixture::type(e, "x", Qt::Key_Escape);
    f.edit->grid()->SetCurrentCell(2, 6);
    QTest::keyRelease(f.edit->grid(), Qt::Key_Escape);
    EXPECT_EQ(f.edit->grid()->GetCell(2, 6), Clr::description(6));

    // A description typed anew marks the scheme and is written as the comment.
    e = f.startEdit(2, 5);
    ASSERT_TRUE(e);
    Fixture::type(e, "forest");
    EXPECT_TRUE(f.edit->isModified());
    f.saveName = f.tmp.file("d.clr");
    f.edit->SaveAs();
    EXPECT_EQ(readAll(f.saveName).split('\n').value(4), "000,000,000 // forest\r");
}

TEST(SchemEditor, RightClickOnAColourCellOpensTheColourDialog)
{
    Fixture f;
    TRBGrid *g = f.edit->grid();
    const QPoint at = g->CellRect(1, 3).center();
    f.picked = QColor(0, 0, 255);
    QTest::mouseClick(g->viewport(), Qt::RightButton, {}, at);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->GetCell(1, 3), "$00FF0000");
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_EQ(f.previewColorOf(3), qRgb(0, 0, 255));
    // Cancelled, or the same colour: nothing changes.
    f.edit->Cap(false);
    f.picked = QColor();
    QTest::mouseClick(g->viewport(), Qt::RightButton, {}, at);
    f.picked = QColor(0, 0, 255);
    QTest::mouseClick(g->viewport(), Qt::RightButton, {}, at);
    EXPECT_FALSE(f.edit->isModified());
    // Not over a colour cell: no dialog.
    f.picked = QColor(255, 0, 0);
    QTest::mouseClick(g->viewport(), Qt::RightButton, {}, g->CellRect(2, 3).center());
    EXPECT_EQ(g->GetCell(1, 3), "$00FF0000");
}

TEST(SchemEditor, SaveAsAsksInTheSchemesFolderAndWritesAClrFile)
{
    Fixture f;
    const QString path = write71(f.tmp, "dev/Schemes/Day.clr");
    f.edit->Open(path);
    f.saveName = f.tmp.file("dev/Schemes/Copy.txt");
    f.edit->SaveAs();
    ASSERT_EQ(f.saveDialogs.size(), 1);
    EXPECT_EQ(f.saveDialogs[0], f.tmp.file("dev/Schemes") + "|Day");
    EXPECT_TRUE(QFile::exists(f.tmp.file("dev/Schemes/Copy.clr")));
    EXPECT_FALSE(QFile::exists(f.saveName));
    EXPECT_EQ(f.shell.updates.last(), qMakePair(f.tmp.file("dev/Schemes/Copy.clr"), 5));
    // The window goes on with the new name, saved.
    EXPECT_EQ(f.edit->schemePath(), f.tmp.file("dev/Schemes/Copy.clr"));
    EXPECT_EQ(f.edit->windowTitle(), f.tmp.file("dev/Schemes/Copy.clr"));
    EXPECT_FALSE(f.edit->isModified());

    // A target that cannot be written: the error goes up and the scheme stays modified.
    f.edit->Cap(true);
    EXPECT_THROW(f.edit->SaveEx(f.tmp.file("no/such/x.clr")), KorvixError);
    EXPECT_TRUE(f.edit->isModified());
}

TEST(SchemEditor, TheCloseQuestionOffersCancel)
{
    {
        Fixture f;
        f.close(f.edit);
        EXPECT_EQ(f.questions, 0); // unmodified: no question
        EXPECT_TRUE(f.edit.isNull());
    }
    Fixture f;
    f.edit->Cap(true);
    f.answer = QMessageBox::Cancel;
    f.close(f.edit);
    EXPECT_FALSE(f.edit.isNull());
    // Yes with the save dialog cancelled keeps the window and the changes.
    f.answer = QMessageBox::Yes;
    f.saveName.clear();
    f.close(f.edit);
    EXPECT_FALSE(f.edit.isNull());
    EXPECT_TRUE(f.edit->isModified());
    f.saveName = f.tmp.file("closing.clr");
    f.close(f.edit);
    EXPECT_TRUE(f.edit.isNull());
    EXPECT_TRUE(QFile::exists(f.saveName));

    // The real question: "Schems", with Cancel on Escape.
    Fixture g;
    g.edit->prompts.askSave = TSchemEdit(g.shell).prompts.askSave;
    g.edit->Cap(true);
    QString title;
    QMessageBox::StandardButtons buttons;
    onNextModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        title = w->windowTitle();
        if (box)
            buttons = box->standardButtons();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    g.close(g.edit);
    EXPECT_EQ(title, "Schems");
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_FALSE(g.edit.isNull());
}

TEST(SchemEditor, A24BitReplacementPictureGetsTheMessage)
{
    const QString folder = Folders::CommonDataFolder();
    QDir().mkpath(folder);
    const QString replacement = QDir(folder).filePath("schem.bmp");
    QImage rgb(30, 60, QImage::Format_RGB888);
    rgb.fill(Qt::white);
    ASSERT_TRUE(rgb.save(replacement));
    QString shown;
    onNextModal([&](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w))
            shown = box->text();
        w->close();
    });
    {
        Fixture f;
        QTest::qWaitFor([&] { return !shown.isEmpty(); }, 3000);
        EXPECT_EQ(shown, ClrPreview::noColorTableMessage());
        EXPECT_EQ(f.edit->preview().size(), QSize(30, 60));
        f.edit->Open(write71(f.tmp, "x.clr"));
        EXPECT_EQ(f.messages, QStringList{ClrPreview::noColorTableMessage()});
    }
    QFile::remove(replacement);
}

TEST(SchemEditor, ThePreviewSitsAtTheRightEdgeScaledAndDrawnInTheScheme)
{
    Fixture f;
    f.edit->Open(write71(f.tmp, "v.clr"));
    QApplication::processEvents();
    QWidget *view = f.edit->previewView();
    EXPECT_EQ(view->geometry().right(), f.edit->width() - 1);
    const QImage shot = view->grab().toImage();
    const QSize s = QSize(300, 600).scaled(view->size(), Qt::KeepAspectRatio);
    // A plain stretch of the status panel (entry 60) at the bottom of the picture.
    const QPoint origin((view->width() - s.width()) / 2, (view->height() - s.height()) / 2);
    const QPoint panel = origin + QPoint(260 * s.width() / 300, 585 * s.height() / 600);
    EXPECT_EQ(QColor(shot.pixel(panel)).rgb() & 0xFFFFFF, qRgb(0, 60, 0) & 0xFFFFFF);
    // A colourful scheme for the picture of the window.
    QByteArray text;
    for (int k = 1; k <= Clr::EntryCount; ++k) {
        const QColor c = QColor::fromHsv((k * 47) % 360, 150 + (k * 13) % 100, 140 + (k * 29) % 115);
        text += QString::asprintf("%d,%d,%d\r\n", c.red(), c.green(), c.blue()).toLatin1();
    }
    f.edit->Open(f.tmp.write("shot.clr", text));
    QApplication::processEvents();
    f.edit->grab().save(QStringLiteral(KORVIX_BINARY_DIR) + "/scheme-editor.png");
}
