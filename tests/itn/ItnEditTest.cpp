// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/Itn.h"
#include "itn/ItnFormat.h"

#include "grid/FindDialog.h"
#include "grid/RBItnGrid.h"
#include "platform/Error.h"
#include "platform/HttpClient.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

#include "tests/itn/LocalHttp.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPointer>
#include <QMenu>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

class FakeShell : public QuietShell {
public:
    explicit FakeShell(const QString &ini) : QuietShell(ini) {}
    void ShowProgress(const QString &text, int, int, int) override { statuses << text; }
    void SetStatus(const QString &text) override { statuses << text; }
    void UpdateTreeView(const QString &path, int action) override { updates << qMakePair(path, action); }
    QString GetTTPath() override
    {
        if (root.isEmpty())
            throw KorvixError(QStringLiteral("No TT Path"));
        return root;
    }

    QString root;
    QStringList statuses;
    QList<QPair<QString, int>> updates;
};

// An editor whose questions are answered by the test.
struct Fixture {
    TempFolder tmp;
    FakeShell shell{tmp.file("Korvix.ini")};
    QPointer<TItnEdit> edit = new TItnEdit(shell);
    QList<QPair<QString, QString>> asked, messages; // caption, text
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    QMessageBox::StandardButtons offered; // by the last question
    QString saveName, openName, clipboard;
    int saveDialogs = 0;

    Fixture()
    {
        edit->dialogs.ask = [this](QWidget *, const QString &caption, const QString &text,
                                   QMessageBox::StandardButtons buttons) {
            asked << qMakePair(caption, text);
            offered = buttons;
            return answer;
        };
        edit->dialogs.message = [this](QWidget *, const QString &caption, const QString &text, const QString &) {
            messages << qMakePair(caption, text);
        };
        edit->dialogs.saveFile = [this](QWidget *, const QString &, const QStringList &, int &) {
            ++saveDialogs;
            return saveName;
        };
        edit->dialogs.openFile = [this](QWidget *, const QString &, const QStringList &) { return openName; };
        edit->dialogs.clipboardText = [this] { return clipboard; };
    }
    ~Fixture()
    {
        if (edit) {
            edit->Cap(false);
            delete edit.data();
        }
    }
    TRBItnGrid &grid() { return *edit->ItnGrid(); }
    QString cell(int col, int row) { return grid().GetCell(col, row); }
    void fill(int points)
    {
        edit->New(tmp.path() + "/");
        std::vector<Itn::ImportedPoint> pts;
        for (int i = 1; i <= points; ++i)
            pts.push_back({QStringLiteral("19.%1").arg(i, 4, 10, QChar('0')), "50.5", QStringLiteral("p%1").arg(i)});
        edit->AddItnPoints(pts);
    }
};

QByteArray kmlOf(const QByteArray &placemarks)
{
    return "<kml><Document>" + placemarks + "</Document></kml>";
}
QByteArray placemark(const QByteArray &name, const QByteArray &coordinates)
{
    return "<Placemark><name>" + name + "</name><Point><coordinates>" + coordinates
           + "</coordinates></Point></Placemark>";
}

} // namespace

TEST(ItnEdit, GridLooksAsTheEditorNeedsIt)
{
    Fixture f;
    EXPECT_EQ(f.edit->editorKind(), EditorKind::Itinerary);
    EXPECT_EQ(f.grid().Header().ToStringList(), (QStringList{"LP", "Longitude", "Latitude ", "Name", "Flag"}));
    EXPECT_EQ(f.grid().RowCount(), 2);
    EXPECT_TRUE(f.grid().AutoAddRow());
    EXPECT_TRUE(f.grid().EnableRowEdit());
    EXPECT_EQ(f.grid().AutoRowColor(), 12648447u);
    EXPECT_EQ(f.grid().ImageList().size(), 5);
}

TEST(ItnEdit, ItsFindDialogAndMenuSpeakTheLoadedLanguage)
{
    QTranslator polish;
    ASSERT_TRUE(polish.load(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix.PLK")));
    QCoreApplication::installTranslator(&polish);
    Fixture f;
    f.edit->ShowFind();
    QCoreApplication::removeTranslator(&polish);
    auto *find = f.edit->findChild<TFindDialog *>();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->windowTitle(), QString::fromUtf8("Znajdź"));
    find->close();
    EXPECT_EQ(f.edit->toolsMenu()->actions().value(0)->text(), QString::fromUtf8("Odwróć"));
}

TEST(ItnEdit, OpenAndSaveUnchangedIsByteIdentical)
{
    Fixture f;
    const QByteArray original = "1993730|5006170|Rynek|4|\r\n1993560|5005400|Wawel Castle|1|\r\n-7000|-123|\r\n";
    const QString path = f.tmp.write("itn/route.itn", original);
    f.edit->Open(path);
    EXPECT_EQ(f.grid().RowCount(), 4);
    EXPECT_EQ(f.cell(0, 3), "3");
    EXPECT_EQ(f.cell(3, 2), "Wawel Castle");
    EXPECT_EQ(f.edit->windowTitle(), path);
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_TRUE(f.shell.statuses.contains("OpenItn"));
    QFile::remove(path);
    f.edit->Save();
    EXPECT_EQ(readAll(path), original);
    ASSERT_EQ(f.shell.updates.size(), 1);
    EXPECT_EQ(f.shell.updates[0], qMakePair(path, 2));
    EXPECT_TRUE(f.asked.isEmpty());
}

TEST(ItnEdit, OpenOfAnEmptyOrMissingFileKeepsTheDocument)
{
    Fixture f;
    f.edit->New(f.tmp.path() + "/itn/");
    f.edit->AddItn("1", "2", "x");
    f.edit->Open(f.tmp.write("empty.itn"));
    EXPECT_EQ(f.edit->documentPath(), f.tmp.path() + "/itn/");
    EXPECT_EQ(f.cell(3, 1), "x");
    EXPECT_THROW(f.edit->Open(f.tmp.file("missing.itn")), KorvixError);
    EXPECT_EQ(f.cell(3, 1), "x");
}

TEST(ItnEdit, SplitQuestionAndItsThreeAnswers)
{
    Fixture f;
    f.fill(100);
    const QString path = f.tmp.file("route.itn");
    f.answer = QMessageBox::Cancel;
    EXPECT_FALSE(f.edit->SaveITN(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(f.edit->isModified());
    ASSERT_EQ(f.asked.size(), 1);
    EXPECT_EQ(f.asked[0].first, "Uwaga!");
    EXPECT_EQ(f.asked[0].second, QString::fromUtf8("TomTom obsługuje tylko 48 punktów trasy\rPodzielić na mniejsze pliki ?"));

    f.answer = QMessageBox::Yes;
    EXPECT_TRUE(f.edit->SaveITN(path));
    EXPECT_EQ(readAll(path).count("\r\n"), 48);
    EXPECT_EQ(readAll(f.tmp.file("route01.itn")).count("\r\n"), 48);
    EXPECT_EQ(readAll(f.tmp.file("route02.itn")).count("\r\n"), 4);
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_EQ(f.edit->documentPath(), path);

    f.answer = QMessageBox::No;
    EXPECT_TRUE(f.edit->SaveITN(f.tmp.file("all.txt")));
    EXPECT_EQ(readAll(f.tmp.file("all.itn")).count("\r\n"), 100);
    EXPECT_EQ(f.edit->documentPath(), f.tmp.file("all.txt"));
}

TEST(ItnEdit, FortySevenPointsAskNothing)
{
    Fixture f;
    f.fill(47);
    EXPECT_TRUE(f.edit->SaveITN(f.tmp.file("r.itn")));
    EXPECT_TRUE(f.asked.isEmpty());
    f.fill(48);
    f.answer = QMessageBox::Yes;
    EXPECT_TRUE(f.edit->SaveITN(f.tmp.file("s.itn")));
    EXPECT_EQ(f.asked.size(), 1);
    EXPECT_FALSE(QFile::exists(f.tmp.file("s01.itn")));
}

TEST(ItnEdit, AddItnFillsANewItineraryThenAppends)
{
    Fixture f;
    f.edit->New(f.tmp.path() + "/itn/");
    EXPECT_EQ(f.edit->windowTitle(), f.tmp.path() + "/itn/");
    f.edit->AddItn("19.123456", "50.5", "  Rynek  ");
    EXPECT_EQ(f.grid().RowCount(), 2);
    EXPECT_EQ(f.cell(1, 1), "1912345");
    EXPECT_EQ(f.cell(2, 1), "5050000");
    EXPECT_EQ(f.cell(3, 1), "Rynek");
    EXPECT_EQ(f.cell(4, 1), "0");
    EXPECT_EQ(f.grid().GetCellFlags(1, 1), 0x30u);
    EXPECT_TRUE(f.edit->windowTitle().endsWith("*"));
    f.edit->AddItn("x", "", "b");
    EXPECT_EQ(f.grid().RowCount(), 3);
    EXPECT_EQ(f.cell(1, 2), "0");
    // A path without a file name saves through the dialog; cancelled, nothing happens.
    f.edit->Save();
    EXPECT_TRUE(f.edit->isModified());
    f.tmp.mkdir("itn");
    f.saveName = f.tmp.file("itn/new.itn");
    f.edit->Save();
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_EQ(readAll(f.saveName), QByteArray("1912345|5050000|Rynek|0|\r\n0|0|b|0|\r\n"));
}

TEST(ItnEdit, ReverseAndSwapMarkTheDocumentModified)
{
    Fixture f;
    const QString path = f.tmp.write("r.itn", "1|1|a|0|\r\n2|2|b|1|\r\n3|3|c|2|\r\n4|4|d|3|\r\n5|5|e|4|\r\n");
    f.edit->Open(path);
    f.grid().MarkRow(1, 0x80);
    f.edit->Reverse1Click();
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_EQ(f.cell(3, 1), "e");
    EXPECT_EQ(f.cell(4, 1), "4");
    EXPECT_EQ(f.cell(3, 3), "c");
    EXPECT_EQ(f.cell(3, 5), "a");
    EXPECT_EQ(f.cell(0, 5), "5");
    EXPECT_EQ(f.grid().GetCellFlags(2, 5), 0x80u);
    EXPECT_TRUE(f.shell.statuses.contains("Reversing itinerary"));
    f.edit->Save();
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_FALSE(f.edit->SwapPoints(2, 2));
    EXPECT_FALSE(f.edit->SwapPoints(0, 2));
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_TRUE(f.edit->SwapPoints(1, 2));
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_EQ(f.cell(3, 1), "d");
    EXPECT_EQ(f.cell(3, 2), "e");
}

TEST(ItnEdit, DuplicatesReadTheSettingAndFindRowsByName)
{
    Fixture f;
    // 1993500 and 1993512 at 50.062 are about 8.6 m apart.
    f.edit->Open(f.tmp.write("d.itn", "1993500|5006200|Rynek|0|\r\n1993512|5006200|Rynek bis|0|\r\n2000000|5006200|far|0|\r\n"));
    // At 0 m the distance is asked (50 m proposed); a cancel searches nothing.
    int proposed = 0;
    f.edit->dialogs.askDistance = [&proposed](QWidget *, int def, bool &ok) {
        proposed = def;
        ok = false;
        return def;
    };
    f.edit->Duplicates();
    EXPECT_EQ(proposed, 50);
    EXPECT_EQ(f.grid().GetCellFlags(1, 2), 0u) << "nothing searched";
    f.edit->dialogs.askDistance = [](QWidget *, int, bool &ok) {
        ok = true;
        return 10;
    };
    f.edit->Duplicates();
    EXPECT_EQ(f.shell.settings().ReadInteger("Settings", "MaxDistance", 0), 10) << "kept as the setting";
    EXPECT_EQ(f.grid().GetCellFlags(1, 1), 0x40u);
    EXPECT_EQ(f.grid().GetCellFlags(3, 2), 0xC0u);
    EXPECT_EQ(f.grid().GetCellFlags(1, 3), 0u);
    EXPECT_EQ(f.grid().Row(), 1);
    f.edit->FindDialogFind("RYNEK", true, false);
    EXPECT_EQ(f.grid().Row(), 2);
    EXPECT_EQ(f.grid().Col(), 3);
    f.edit->FindDialogFind("Rynek", true, false);
    EXPECT_EQ(f.grid().Row(), 2) << "no hit, nothing moves";
    f.edit->FindDialogFind("rynek", false, true);
    EXPECT_EQ(f.grid().Row(), 2);
    f.edit->FindDialogFind("Rynek", false, true);
    EXPECT_EQ(f.grid().Row(), 1);
}

TEST(ItnEdit, ClosingAsksAndKeepsUnsavedChanges)
{
    Fixture f;
    f.edit->New(f.tmp.path() + "/");
    f.edit->AddItn("1", "2", "a");
    f.answer = QMessageBox::Yes; // the save dialog is cancelled: stays open
    EXPECT_FALSE(f.edit->close());
    ASSERT_EQ(f.asked.size(), 1);
    EXPECT_EQ(f.asked[0], qMakePair(QStringLiteral("Itn"), QStringLiteral("Do you want to save changes?")));
    f.saveName = f.tmp.file("saved.itn");
    EXPECT_TRUE(f.edit->close());
    EXPECT_EQ(readAll(f.saveName), QByteArray("100000|200000|a|0|\r\n"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.edit.isNull()) << "a closed window is destroyed";

    Fixture g;
    g.edit->AddItn("1", "2", "a");
    g.answer = QMessageBox::No;
    EXPECT_TRUE(g.edit->close());
}

TEST(ItnEdit, PastedKmlBecomesRowsAboveTheCurrentRow)
{
    Fixture f;
    f.edit->Open(f.tmp.write("p.itn", "1|1|first|0|\r\n2|2|second|0|\r\n"));
    f.grid().SetCurrentCell(1, 2);
    f.grid().PasteText(QString::fromUtf8(kmlOf(placemark("A", "19.93,50.06") + placemark("B", "20,51,0"))));
    ASSERT_EQ(f.grid().RowCount(), 5);
    EXPECT_EQ(f.cell(3, 1), "first");
    EXPECT_EQ(f.cell(3, 2), "A");
    EXPECT_EQ(f.cell(1, 2), "1993000");
    EXPECT_EQ(f.cell(3, 3), "B");
    EXPECT_EQ(f.cell(0, 3), "3");
    EXPECT_EQ(f.cell(3, 4), "second");
    EXPECT_TRUE(f.edit->isModified());
    // Plain rows stay plain rows.
    f.grid().PasteText(QStringLiteral("5\t6\tplain"));
    EXPECT_EQ(f.cell(3, 2), "plain");
}

TEST(ItnEdit, LinkFromTheClipboard)
{
    Fixture f;
    LocalHttp server;
    server.body = kmlOf(placemark("Rynek", "19.93,50.06,0") + placemark("Wawel", "19.935,50.054,0"));
    f.clipboard = server.url("/maps?q=Krakow&output=html");
    f.edit->Link1Click();
    ASSERT_EQ(f.grid().RowCount(), 3);
    EXPECT_EQ(f.cell(3, 1), ": Rynek");
    EXPECT_EQ(f.cell(2, 2), "5005400");
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_TRUE(server.requests[0].startsWith("GET /maps?q=Krakow&output=kml "));

    // A link that names its point needs no download.
    f.clipboard = "https://www.google.com/maps/place/Sukiennice/@50.0617,19.9373,17z";
    f.edit->Link1Click();
    EXPECT_EQ(f.cell(3, 3), "Sukiennice");
    EXPECT_EQ(server.requests.size(), 1);

    f.clipboard = "not a link";
    f.edit->Link1Click();
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_EQ(f.messages[0], qMakePair(QStringLiteral("Uwaga!"),
                                       QStringLiteral("Pobierz link z GoogleMaps do schowka (Ctrl+C)")));
    server.body = "<html><body>a page</body></html>";
    f.clipboard = server.url("/maps?q=x");
    f.edit->Link1Click();
    ASSERT_EQ(f.messages.size(), 2);
    EXPECT_EQ(f.messages[1], qMakePair(QStringLiteral("Error"), QStringLiteral("Invalid Kml file")));
    EXPECT_EQ(f.grid().RowCount(), 4);
}

TEST(ItnEdit, TargeoAndKmlFilesFromTheDialog)
{
    Fixture f;
    f.edit->New(f.tmp.path() + "/");
    f.openName = f.tmp.write("r.atm", "1::ptGeo=50.2&19.2\r\nStart::ptGeo=50.0&19.0\r\nEnd::ptGeo=50.9&19.9\r\n"
                                      "0::ptGeo=50.1&19.1\r\n");
    f.edit->ImportzTargeo1Click();
    ASSERT_EQ(f.grid().RowCount(), 5);
    EXPECT_EQ(f.cell(3, 1), "Start");
    EXPECT_EQ(f.cell(3, 2), "0");
    EXPECT_EQ(f.cell(3, 3), "1");
    EXPECT_EQ(f.cell(3, 4), "End");
    EXPECT_EQ(f.cell(1, 1), "1900000");
    EXPECT_EQ(f.cell(2, 1), "5000000");
    EXPECT_EQ(f.grid().GetCellFlags(1, 4), 0x30u);
    f.openName = f.tmp.write("a.kml", kmlOf(placemark("K", "1,2,0")));
    f.edit->Kml1Click();
    EXPECT_EQ(f.cell(3, 5), ": K");
    f.openName.clear();
    f.edit->Kml1Click();
    EXPECT_EQ(f.grid().RowCount(), 6);
    EXPECT_TRUE(f.messages.isEmpty());
}

TEST(ItnEdit, SaveAsCurrentWritesTheDevicesTemporaryItinerary)
{
    Fixture f;
    f.edit->New(QString());
    f.edit->AddItn("19.9", "50.0", "here");
    EXPECT_THROW(f.edit->SaveAsCurrent1Click(), KorvixError);
    f.tmp.mkdir("dev/Itn");
    f.shell.root = f.tmp.file("dev") + "/";
    f.edit->SaveAsCurrent1Click();
    const QString current = f.tmp.file("dev/Itn/temporary.iti");
    EXPECT_EQ(readAll(current), QByteArray("1990000|5000000|here|0|\r\n"));
    EXPECT_EQ(f.edit->documentPath(), current);
    EXPECT_EQ(f.edit->windowTitle(), current);
}

TEST(ItnEdit, DropOfADraggedPointOnTheGrid)
{
    Fixture f;
    f.edit->Open(f.tmp.write("d.itn", "1|1|a|0|\r\n2|2|b|0|\r\n3|3|c|0|\r\n"));
    f.edit->resize(600, 400);
    f.edit->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.grid().viewport()->acceptDrops());
    auto dropOn = [&](const QByteArray &data, int row, QEvent::Type type) {
        QMimeData mime;
        mime.setData("application/x-korvix-itn-point", data);
        const QPoint at = f.grid().CellRect(2, row).center();
        QDropEvent e(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier, type);
        e.setAccepted(false);
        f.edit->PointDragEvent(&e);
        return e.isAccepted();
    };
    const QByteArray self = QByteArray::number(quintptr(f.edit.data()));
    EXPECT_FALSE(dropOn("12345 1", 3, QEvent::DragMove)) << "a drag from elsewhere";
    EXPECT_FALSE(dropOn(self + " 3", 3, QEvent::DragMove)) << "onto its own row";
    EXPECT_TRUE(dropOn(self + " 1", 3, QEvent::DragMove));
    EXPECT_FALSE(f.edit->isModified());
    EXPECT_TRUE(dropOn(self + " 1", 3, QEvent::Drop));
    EXPECT_EQ(f.cell(3, 1), "c");
    EXPECT_EQ(f.cell(3, 2), "b");
    EXPECT_EQ(f.cell(3, 3), "a");
    EXPECT_TRUE(f.edit->isModified());
}

TEST(ItnEdit, CancelOrEscapeInTheCloseQuestionKeepsWindowAndChanges)
{
    Fixture f;
    f.edit->New(f.tmp.path() + "/");
    f.edit->AddItn("1", "2", "a");
    f.answer = QMessageBox::Cancel;
    EXPECT_FALSE(f.edit->close());
    EXPECT_EQ(f.offered, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(f.edit->isModified());
    EXPECT_EQ(f.saveDialogs, 0);

    // The question the user really sees: Escape is Cancel, not No.
    FakeShell shell(f.tmp.file("other.ini"));
    TItnEdit w(shell);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.New(f.tmp.path() + "/");
    w.AddItn("1", "2", "typed");
    w.show();
    onNextModal([](QWidget *box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isModified());
    EXPECT_TRUE(w.isVisible());
    w.Cap(false); // let it go without a question
}

TEST(ItnEdit, AFailedOpenLeavesNoNameToSaveUnder)
{
    Fixture f;
    // A folder where a file is expected cannot be read as one.
    const QString notAFile = f.tmp.mkdir("Route.itn");
    EXPECT_THROW(f.edit->Open(notAFile), KorvixError);
    EXPECT_EQ(f.edit->documentPath(), "");
    f.edit->AddItn("1", "2", "typed");
    f.edit->Save();
    EXPECT_EQ(f.saveDialogs, 1) << "Save must ask for a name";
}

TEST(ItnEdit, DuplicatesSayHowManyRowsTheyMarked)
{
    Fixture f;
    // b is about 9 m from a, c about 72 m.
    f.edit->Open(f.tmp.write("d.itn", "1993500|5006200|a|0|\r\n1993512|5006200|b|0|\r\n1993600|5006200|c|0|\r\n"
                                      "2000000|5006200|far|0|\r\n"));
    f.shell.settings().WriteInteger("Settings", "MaxDistance", 5);
    f.edit->Duplicates();
    EXPECT_EQ(f.shell.statuses.last(), "No duplicates within 5 m");
    f.shell.settings().WriteInteger("Settings", "MaxDistance", 100);
    f.edit->Duplicates();
    EXPECT_EQ(f.shell.statuses.last(), "Marked 2 duplicates within 100 m");
    f.shell.settings().WriteInteger("Settings", "MaxDistance", 10);
    f.edit->Duplicates();
    EXPECT_EQ(f.shell.statuses.last(), "Marked 1 duplicate within 10 m");
}

TEST(ItnEdit, ACoordinateThatIsNoWholeNumberStopsTheSaveBeforeAnyWrite)
{
    Fixture f;
    const QByteArray original = "1993730|5006170|Rynek|4|\r\n1993560|5005400|Wawel|1|\r\n";
    const QString path = f.tmp.write("itn/route.itn", original);
    f.edit->Open(path);
    f.grid().SetCell(2, 2, "50.054");
    EXPECT_TRUE(f.grid().OnCellFault(&f.grid(), 2, 2, f.cell(2, 2))) << "the grid shows the cell at fault";
    try {
        f.edit->Save();
        ADD_FAILURE() << "saved";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), "Row 2: latitude \"50.054\" is not a whole number of 1/100000 degrees");
    }
    EXPECT_EQ(readAll(path), original);
    EXPECT_TRUE(f.shell.updates.isEmpty());

    // Named before the split question, which would only be asked in vain.
    f.fill(50);
    f.grid().SetCell(1, 30, "19.95");
    EXPECT_THROW(f.edit->SaveITN(f.tmp.file("long.itn")), KorvixError);
    EXPECT_TRUE(f.asked.isEmpty());
    EXPECT_FALSE(QFile::exists(f.tmp.file("long.itn")));
}

TEST(ItnEdit, FilesBeyondTheCapAreRefusedAndTheGridKept)
{
    Fixture f;
    f.edit->Open(f.tmp.write("route.itn", "1993730|5006170|Rynek|4|\r\n"));
    for (const QString name : {"huge.itn", "huge.atm", "huge.kml"}) {
        QFile file(f.tmp.file(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(Itn::MaxInputBytes + 1)); // sparse: nothing is written
    }
    EXPECT_THROW(f.edit->Open(f.tmp.file("huge.itn")), KorvixError);
    f.openName = f.tmp.file("huge.atm");
    EXPECT_THROW(f.edit->ImportzTargeo1Click(), KorvixError);
    f.openName = f.tmp.file("huge.kml");
    EXPECT_THROW(f.edit->Kml1Click(), KorvixError);
    EXPECT_EQ(f.grid().RowCount(), 2);
    EXPECT_EQ(f.cell(3, 1), "Rynek");
    EXPECT_EQ(f.edit->documentPath(), f.tmp.file("route.itn"));
}
