// SPDX-License-Identifier: GPL-3.0-or-later
// The POI editor window with a fake shell, the real formats and the real Ogg tools.
#include "grid/FindDialog.h"
#include "grid/RBGrids.h"
#include "media/AudioKit.h"
#include "media/ImgFile.h"
#include "media/OggRunner.h"
#include "media/SoundBox.h"
#include "platform/HttpClient.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "poi/Ov2Editor.h"
#include "poi/Ov2Reader.h"
#include "poi/SamplePois.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QClipboard>
#include <QGuiApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FakeShell : public QuietShell {
public:
    void ShowProgress(const QString &text, int, int, int) override
    {
        progressTexts << text;
        status = text; // the status bar shows the step until the next status
        if (onProgress)
            onProgress(text);
    }
    std::function<void(const QString &)> onProgress;
    void SetStatus(const QString &text) override { status = text; }
    void UpdateTreeView(const QString &path, int action) override
    {
        refreshed << QStringLiteral("%1:%2").arg(QFileInfo(path).fileName()).arg(action);
    }

    QStringList refreshed, progressTexts;
    QString status;
};

bool haveOggTools()
{
    return !TOggRunner::findProgram(TOggRunner::Encoder, {}).isEmpty()
           && !TOggRunner::findProgram(TOggRunner::Decoder, {}).isEmpty();
}

// A window whose questions are answered by the test.
struct Editor {
    FakeShell shell;
    QPointer<TOV2> w = new TOV2(shell);
    QStringList messages; // caption | text
    QMessageBox::StandardButton answer = QMessageBox::No; // to "Do you want to save changes?"
    int saveDialogs = 0;
    QString saveDialogDir;
    QString saveName;
    int saveFilter = 0; // the first filter: OV2

    Editor()
    {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->dialogs.message = [this](QWidget *, const QString &caption, const QString &text, const QString &) {
            messages << caption + "|" + text;
        };
        w->dialogs.ask = [this](QWidget *, const QString &, const QString &, QMessageBox::StandardButtons) {
            return answer;
        };
        w->dialogs.saveFile = [this](QWidget *, const QString &start, const QStringList &, int &filter) {
            ++saveDialogs;
            saveDialogDir = QFileInfo(start).isDir() || start.endsWith('/') ? start : QFileInfo(start).path();
            filter = saveFilter;
            return saveName;
        };
    }
    ~Editor() { delete w.data(); }
    TRBGrid &grid() { return *w->grid(); }
    QString cell(int col, int row) { return grid().GetCell(col, row); }
};

QByteArray threePois()
{
    return Ov2Bytes().poi(1993500, 5006200, "Rynek Główny").poi(1993510, 5006200, "Sukiennice").poi(1993520, 5006200, "Wawel");
}

} // namespace

TEST(Ov2Editor, NewWindowAndAddPoi)
{
    TempFolder tmp;
    Editor e;
    EXPECT_EQ(e.w->windowTitle(), "OV2View");
    EXPECT_EQ(e.w->gridRowCount(), 2);
    e.w->New(tmp.path());
    EXPECT_EQ(e.w->FileName, tmp.path() + "/");
    EXPECT_FALSE(e.w->smallIcon().isNull());
    EXPECT_EQ(e.w->DirtyMask, 1);
    e.w->Saved(7);
    EXPECT_FALSE(e.w->windowTitle().endsWith("*"));

    e.w->AddPoi("19.93500", "50.06200", "  Rynek \t");
    EXPECT_EQ(e.cell(1, 1), "1993500");
    EXPECT_EQ(e.cell(2, 1), "5006200");
    EXPECT_EQ(e.cell(3, 1), "Rynek");
    EXPECT_EQ(e.grid().GetCellFlags(1, 1) & 0xFF, 0x30u);
    EXPECT_TRUE(e.w->windowTitle().endsWith("*"));
    EXPECT_EQ(e.w->DirtyMask, 7);
    e.w->AddPoi("-0.000019", "x", "Two");
    EXPECT_EQ(e.w->gridRowCount(), 3);
    EXPECT_EQ(e.cell(1, 2), "-1");
    EXPECT_EQ(e.cell(2, 2), "0");
    // A description over several lines (a feed's comment) is one line in the list.
    e.w->AddPoi("19.9", "50.1", " Roboty\r\nna moście\nKoniec\r ");
    EXPECT_EQ(e.cell(3, 3), "Robotyna mościeKoniec");

    // A single data row with a description but no coordinates is taken, its old
    // fields replaced by the same rule.
    Editor f;
    f.grid().SetCell(3, 1, "old text");
    f.w->AddPoi("1", "2", "new\r\nline");
    EXPECT_EQ(f.w->gridRowCount(), 2);
    EXPECT_EQ(f.cell(3, 1), "newline");

    // The Insert key appends an empty row and makes it current.
    f.w->InsertRow();
    EXPECT_EQ(f.w->gridRowCount(), 3);
    EXPECT_EQ(f.grid().Row(), 2);
}

TEST(Ov2Editor, SampleDeviceFilesRoundTripUnchanged)
{
    TempFolder tmp;
    const QStringList files = writeSamplePois(tmp.mkdir("Poland"));
    ASSERT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        const QString base = file.chopped(4);
        const QByteArray ov2 = readAll(file), bmp = readAll(base + ".bmp");
        const bool hasLarge = QFileInfo::exists(base + "_X2.bmp");
        const QByteArray x2 = hasLarge ? readAll(base + "_X2.bmp") : QByteArray();
        Editor e;
        ASSERT_TRUE(e.w->OpenOV2(file));
        EXPECT_EQ(e.w->DirtyMask, 0);
        EXPECT_EQ(e.w->windowTitle(), file);
        EXPECT_GT(e.w->gridRowCount(), 2);
        EXPECT_EQ(e.w->largeIcon().isNull(), !hasLarge);
        // An edit undone leaves the document as it was read.
        const QString old = e.cell(3, 1);
        e.grid().SetCell(3, 1, "x");
        e.grid().SetCell(3, 1, old);
        e.w->NeedSave(7);
        e.w->Save();
        EXPECT_TRUE(e.messages.isEmpty()) << e.messages.join(",").toStdString();
        EXPECT_EQ(e.w->DirtyMask, 0);
        EXPECT_EQ(readAll(file), ov2) << file.toStdString();
        EXPECT_EQ(readAll(base + ".bmp"), bmp) << file.toStdString();
        if (hasLarge)
            EXPECT_EQ(readAll(base + "_X2.bmp"), x2);
        EXPECT_EQ(e.shell.refreshed, QStringList{QFileInfo(file).fileName() + ":1"});
    }
}

TEST(Ov2Editor, EmptyPartsAreParkedAndTheNextOpenFindsNoSound)
{
    if (!haveOggTools())
        GTEST_SKIP() << "vorbis-tools are not installed";
    TempFolder tmp;
    const QString file = tmp.write("Fuel.ov2", threePois());
    {
        // A sound recorded in the editor goes out as Ogg Vorbis beside the list.
        Editor e;
        ASSERT_TRUE(e.w->OpenOV2(file));
        TWave &wave = e.w->audio().storage.Wave;
        QByteArray pcm(22050 * 2, '\0');
        for (int i = 0; i < 22050; ++i)
            reinterpret_cast<qint16 *>(pcm.data())[i] = qint16((i % 50) * 600 - 15000);
        wave.Assign(Mono16bit22050Hz(), pcm);
        e.w->setLargeIcon(QImage(44, 44, QImage::Format_RGB32));
        e.w->NeedSave(7);
        e.w->Save();
        ASSERT_TRUE(e.messages.isEmpty()) << e.messages.join(",").toStdString();
        EXPECT_EQ(TOggRunner::OggInfo(tmp.file("Fuel.ogg")), "vorbis Mono 22050Hz");
        EXPECT_EQ(ImgFile::bitmapBitsPerPixel(readAll(tmp.file("Fuel_X2.bmp"))), 24);
    }
    tmp.write("Fuel_X2.bm_", "older");
    tmp.write("Fuel.wav", "not a wave");
    {
        Editor e;
        ASSERT_TRUE(e.w->OpenOV2(file));
        EXPECT_FALSE(e.w->isWaveEmpty());
        EXPECT_FALSE(e.w->largeIcon().isNull());
        e.w->audio().storage.Wave.Clear();
        e.w->clearIcon(true);
        // Right button released over the small icon empties it.
        QWidget *frame = nullptr;
        for (QWidget *c : e.w->findChildren<QWidget *>())
            if (c->size() == QSize(24, 24) && c->cursor().shape() == Qt::PointingHandCursor)
                frame = c;
        ASSERT_TRUE(frame);
        QTest::mouseRelease(frame, Qt::RightButton);
        EXPECT_TRUE(e.w->smallIcon().isNull());
        e.w->Save();
        ASSERT_TRUE(e.messages.isEmpty());
    }
    QStringList names = QDir(tmp.path()).entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names, QStringList({"Fuel.bm_", "Fuel.og_", "Fuel.ov2", "Fuel.wa_", "Fuel_X2.bm_"}));
    EXPECT_EQ(ImgFile::bitmapBitsPerPixel(readAll(tmp.file("Fuel_X2.bm_"))), 24); // the older parked one replaced
    Editor e;
    ASSERT_TRUE(e.w->OpenOV2(file));
    EXPECT_TRUE(e.w->isWaveEmpty());
    EXPECT_TRUE(e.w->largeIcon().isNull());
    EXPECT_FALSE(e.w->smallIcon().isNull()); // the default icon
}

TEST(Ov2Editor, TextExportChangesNeitherNameNorMask)
{
    TempFolder tmp;
    Editor e;
    e.w->New(tmp.path());
    e.w->AddPoi("19.935", "50.062", "Pod Różą, Kraków");
    e.w->AddPoi("1", "2", "say \"hi\"");
    ASSERT_TRUE(e.w->saveAsTo(tmp.file("out.txt"), 2));
    EXPECT_EQ(readAll(tmp.file("out.csv")), "1993500,5006200,Pod R\xF3\xBF\xB9_ Krak\xF3w\r\n100000,200000,say _hi_\r\n");
    ASSERT_TRUE(e.w->saveAsTo(tmp.file("out"), 4));
    EXPECT_EQ(readAll(tmp.file("out.csv")), "1993500,5006200,\"Pod R\xF3\xBF\xB9_ Krak\xF3w\"\r\n100000,200000,\"say _hi_\"\r\n");
    ASSERT_TRUE(e.w->saveAsTo(tmp.file("out"), 3));
    EXPECT_TRUE(QFileInfo::exists(tmp.file("out.asc")));
    EXPECT_EQ(e.w->FileName, tmp.path() + "/");
    EXPECT_EQ(e.w->DirtyMask, 7);
    // Into a folder that is not there: the program's message, the document unchanged.
    EXPECT_FALSE(e.w->saveAsTo(tmp.file("gone/out.csv"), 2));
    EXPECT_EQ(e.messages, QStringList{"POIEditor|Problem with saving files!\n" + tmp.file("gone/out.csv")
                                      + ": No such file or directory"});
}

TEST(Ov2Editor, ClosingAsksAndAFailedSaveKeepsTheWindow)
{
    TempFolder tmp;
    {
        // No: the changes go, the window closes.
        Editor e;
        ASSERT_TRUE(e.w->OpenOV2(tmp.write("a.ov2", threePois())));
        e.w->AddPoi("1", "1", "added");
        EXPECT_TRUE(e.w->close());
        EXPECT_EQ(readAll(tmp.file("a.ov2")), QByteArray(threePois()));
    }
    {
        // Yes with a save that fails (the device went away): stays open, still modified.
        Editor e;
        const QString dir = tmp.mkdir("device");
        e.w->New(dir);
        e.w->AddPoi("1", "1", "added");
        e.w->FileName = dir + "/b.ov2";
        QDir(dir).removeRecursively();
        e.answer = QMessageBox::Yes;
        EXPECT_FALSE(e.w->close());
        EXPECT_EQ(e.messages, QStringList{"POI|Problem with saving files!\n" + dir + "/b.ov2: No such file or directory"});
        EXPECT_EQ(e.w->DirtyMask & 1, 1);
        EXPECT_EQ(e.shell.refreshed, QStringList{"b.ov2:1"});
        // Yes on a document without a name, save dialog cancelled: stays open too.
        e.w->FileName = tmp.path() + "/";
        e.saveName.clear();
        EXPECT_FALSE(e.w->close());
        // Saved under a chosen name: closes.
        e.saveName = tmp.file("c.ov2");
        EXPECT_TRUE(e.w->close());
        EXPECT_TRUE(QFileInfo::exists(tmp.file("c.ov2")));
    }
}

TEST(Ov2Editor, BadInputGivesMessagesNotCrashes)
{
    TempFolder tmp;
    Editor e;
    const QString bad = tmp.write("bad.ov2", Ov2Bytes().poi(1, 1, "a").u8(11).raw("zz"));
    tmp.write("bad.bmp", "BM broken");
    EXPECT_FALSE(e.w->OpenOV2(bad));
    EXPECT_EQ(e.messages, QStringList{"Error|Can't open OV2 file"});
    EXPECT_EQ(e.w->gridRowCount(), 2);
    EXPECT_EQ(e.shell.status, "");

    // A corrupt icon and an undecodable sound: the list opens, the status says why.
    const QString ok = tmp.write("ok.ov2", threePois());
    tmp.write("ok.bmp", "BM\x10\0\0\0 broken");
    tmp.write("ok.ogg", "OggS but not really");
    Editor f;
    ASSERT_TRUE(f.w->OpenOV2(ok));
    EXPECT_EQ(f.w->gridRowCount(), 4);
    EXPECT_EQ(f.w->smallIcon().size(), QSize(22, 22)); // the default icon
    EXPECT_TRUE(f.w->isWaveEmpty());
    EXPECT_TRUE(f.shell.status.contains("ok.bmp")) << f.shell.status.toStdString();
    EXPECT_TRUE(f.shell.status.contains("ok.ogg"));
    EXPECT_TRUE(f.messages.isEmpty());
}

TEST(Ov2Editor, SearchesMarkRows)
{
    TempFolder tmp;
    Editor e;
    ASSERT_TRUE(e.w->OpenOV2(tmp.write("d.ov2", threePois())));
    e.shell.settings().WriteInteger("Settings", "MaxDistance", 50);
    e.grid().SetCurrentCell(2, 3);
    e.shell.progressTexts.clear();
    e.w->Duplicates();
    EXPECT_EQ(e.grid().GetCellFlags(3, 1) & 0xFF, 0x40u);
    EXPECT_EQ(e.grid().GetCellFlags(1, 2) & 0xFF, 0xC0u);
    EXPECT_EQ(e.grid().GetCellFlags(4, 3) & 0xFF, 0xC0u);
    EXPECT_EQ(e.cell(4, 2), ">1");
    EXPECT_EQ(e.cell(4, 3), ">1");
    EXPECT_EQ(e.grid().Row(), 1);
    EXPECT_EQ(e.grid().Col(), 1);
    EXPECT_EQ(e.shell.progressTexts.value(0), "Find Duplicates");
    EXPECT_EQ(e.shell.status, "Marked 2 duplicates within 50 m");
    // At 0 m the distance is asked, 50 m proposed; a cancel searches nothing.
    e.shell.settings().WriteInteger("Settings", "MaxDistance", 0);
    e.grid().UnmarkAllRows(0xFF);
    int proposed = 0;
    e.w->dialogs.askDistance = [&proposed](QWidget *, int def, bool &ok) {
        proposed = def;
        ok = false;
        return def;
    };
    e.w->Duplicates();
    EXPECT_EQ(proposed, 50);
    EXPECT_FALSE(e.grid().HasMarkedRow(0xFF));
    e.w->dialogs.askDistance = [](QWidget *, int, bool &ok) {
        ok = true;
        return 40;
    };
    e.w->Duplicates();
    EXPECT_EQ(e.shell.status, "Marked 2 duplicates within 40 m");
    EXPECT_EQ(e.shell.settings().ReadInteger("Settings", "MaxDistance", 0), 40) << "kept as the setting";
    e.grid().UnmarkAllRows(0xFF);

    // Select: marks add up; a cancelled input box empties FindText.
    e.w->dialogs.inputText = [](QWidget *, const QString &, const QString &, const QString &, bool &ok) { ok = true; return QStringLiteral("rynek"); };
    e.w->SelectText();
    EXPECT_EQ(e.w->FindText, "rynek");
    EXPECT_EQ(e.grid().GetCellFlags(1, 1) & 0x80, 0x80u);
    EXPECT_EQ(e.shell.status, "1 match");
    EXPECT_EQ(e.grid().GetCellFlags(1, 2) & 0x80, 0u);
    e.w->dialogs.inputText = [](QWidget *, const QString &, const QString &, const QString &, bool &ok) { ok = false; return QStringLiteral("wawel"); };
    e.w->SelectText();
    EXPECT_EQ(e.w->FindText, "");
    EXPECT_EQ(e.grid().GetCellFlags(1, 3) & 0x80, 0u);

    e.shell.settings().WriteString("GoogleAPI", "InitialView", "50.0,19.935,50.1,19.9352");
    e.w->SelectRegion();
    EXPECT_EQ(e.grid().GetCellFlags(1, 2) & 0x80, 0x80u); // 1993510 is in, 1993520 on the east edge
    EXPECT_EQ(e.grid().GetCellFlags(1, 3) & 0x80, 0u);
    EXPECT_EQ(e.grid().GetCellFlags(1, 1) & 0x80, 0x80u); // an earlier mark stays

    // Find: the dialog offers FindText; upward from row 1 finds nothing.
    e.w->FindText = "wAwEl";
    e.w->ShowFind();
    ASSERT_TRUE(e.w->findDialog());
    EXPECT_EQ(e.w->findDialog()->findText(), "wAwEl");
    e.w->findDialog()->findNext();
    EXPECT_EQ(e.grid().Row(), 3);
    EXPECT_EQ(e.grid().Col(), 3);
    e.grid().SetCurrentCell(1, 1);
    e.w->findNext("Wawel", false, false);
    EXPECT_EQ(e.grid().Row(), 1);
    EXPECT_EQ(e.shell.progressTexts.last(), "Searching for: Wawel");
    EXPECT_EQ(e.shell.status, "1 match") << "the search text goes when the search ends";
    e.w->findDialog()->close();
}

TEST(Ov2Editor, DeviceDatabaseCategoryHasNoFileName)
{
    TempFolder tmp;
    // Layout B: one category (7311) whose block holds two POIs.
    const QByteArray block = Ov2Bytes().poi(100, 200, "A").poi(300, 400, "B");
    const qint32 start = 4 + 4 + 8;
    QByteArray dat = Ov2Bytes().le32(1).le32(7311).le32(start).le32(start + block.size());
    dat += block;
    const QString path = tmp.write("POI.DAT", dat);
    Editor e;
    e.w->OpenTTPoi(path, "7311:Petrol Station");
    EXPECT_EQ(e.w->windowTitle(), path + ":7311:Petrol Station");
    EXPECT_TRUE(e.w->FileName.isEmpty());
    EXPECT_EQ(e.w->gridRowCount(), 3);
    EXPECT_EQ(e.cell(3, 2), "B");
    // A category text without ":" opens nothing; the list keeps one empty row.
    Editor f;
    f.w->OpenTTPoi(path, "7311");
    EXPECT_EQ(f.w->gridRowCount(), 2);
    // Save asks for a name.
    e.w->NeedSave(1);
    e.saveName = tmp.file("Petrol.ov2");
    e.w->Save();
    EXPECT_EQ(e.w->FileName, tmp.file("Petrol.ov2"));
    EXPECT_EQ(e.w->windowTitle(), tmp.file("Petrol.ov2"));
    EXPECT_TRUE(QFileInfo::exists(tmp.file("Petrol.bmp")));
    EXPECT_EQ(readAll(path), dat);
}

TEST(Ov2Editor, EditPoiFramesTheRowWhileTheDialogIsOpen)
{
    Editor e;
    e.w->AddPoi("19.935", "50.062", "Rynek");
    e.w->Saved(7);
    quint32 during = 0;
    QString input;
    e.w->dialogs.editCoordinates = [&](QWidget *, const QString &text) {
        during = e.grid().GetCellFlags(1, 1);
        input = text;
        return false;
    };
    e.w->EditPoi();
    EXPECT_EQ(during & 0xF, 8u);
    EXPECT_EQ(input, "19.93500, 50.06200");
    EXPECT_EQ(e.grid().GetCellFlags(1, 1) & 0xF, 0u);
    EXPECT_EQ(e.w->DirtyMask, 0);
    e.w->dialogs.editCoordinates = [&](QWidget *, const QString &) { return true; };
    e.w->EditPoi();
    EXPECT_EQ(e.w->DirtyMask, 7);
}

TEST(Ov2Editor, IconEditorGetsACopyOrABlankPicture)
{
    Editor e;
    QSize given;
    e.w->dialogs.editIcon = [&](QWidget *, QImage &icon) {
        given = icon.size();
        icon.fill(Qt::red);
        return true;
    };
    e.w->editIcon(true);
    EXPECT_EQ(given, QSize(44, 44));
    EXPECT_EQ(e.w->largeIcon().pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(e.w->DirtyMask, 2);
    e.w->dialogs.editIcon = [&](QWidget *, QImage &) { return false; };
    e.w->clearIcon(false);
    e.w->Saved(7);
    e.w->editIcon(false);
    EXPECT_TRUE(e.w->smallIcon().isNull());
    EXPECT_EQ(e.w->DirtyMask, 0);
}

TEST(Ov2Editor, RecordingStopsByItself)
{
    if (QMediaDevices::audioInputs().isEmpty())
        GTEST_SKIP() << "no sound devices (run scripts/sound-server.sh)";
    Editor e;
    e.w->RecSound();
    EXPECT_TRUE(e.w->isRecording());
    EXPECT_EQ(e.w->DirtyMask, 4);
    for (int i = 0; i < 150 && e.w->isRecording(); ++i)
        QTest::qWait(100);
    EXPECT_FALSE(e.w->isRecording());
    EXPECT_FALSE(e.w->isWaveEmpty());
    EXPECT_LT(e.w->audio().storage.Wave.Length(), 11000);
}

TEST(Ov2Editor, Screenshot)
{
    // An editor with an icon, a waveform and marked duplicates, saved with the test
    // output (under Xvfb with QT_QPA_PLATFORM=xcb it is the real window system's).
    TempFolder tmp;
    Editor e;
    e.w->New(tmp.path());
    for (int i = 0; i < 12; ++i)
        e.w->AddPoi(QString::number(19.935 + (i % 4) * 0.00005, 'f', 5), "50.062", QStringLiteral("Punkt %1").arg(i));
    e.grid().UnmarkAllRows(0xFF);
    e.w->findDuplicates(10);
    QByteArray pcm(22050 * 2, '\0');
    for (int i = 0; i < 22050; ++i)
        reinterpret_cast<qint16 *>(pcm.data())[i] = qint16(std::sin(i / 8.0) * 12000 * (1 - i / 22050.0));
    e.w->audio().storage.Wave.Assign(Mono16bit22050Hz(), pcm);
    e.w->soundBox()->RefreshWave(true);
    e.w->resize(900, 420);
    e.w->show();
    QTest::qWait(50);
    const QString out = QStringLiteral(KORVIX_BINARY_DIR "/test-output");
    QDir().mkpath(out);
    EXPECT_TRUE(e.w->grab().save(out + "/poi-editor.png"));
    EXPECT_EQ(e.grid().GetCellFlags(1, 2) & 0xFF, 0xC0u);
}

TEST(Ov2Editor, PastedKmlBecomesRows)
{
    Editor e;
    e.grid().SetCurrentCell(1, 1);
    e.grid().PasteText(QStringLiteral(
        "<kml><Document><Placemark><name>Rynek</name><Point><coordinates>19.935,50.062,0</coordinates></Point>"
        "</Placemark></Document></kml>"));
    EXPECT_EQ(e.cell(1, 1), "1993500");
    EXPECT_EQ(e.cell(2, 1), "5006200");
    EXPECT_TRUE(e.cell(3, 1).endsWith("Rynek")) << e.cell(3, 1).toStdString();
    EXPECT_EQ(e.w->DirtyMask & 1, 1);
}

TEST(Ov2Editor, DeviceDatabaseHeaderLayoutAndEmptyBlock)
{
    // Layout A: "POIS", the count at 3314, ids, sizes; blocks from 3806.
    TempFolder tmp;
    const QByteArray block = Ov2Bytes().poi(1, 2, "Shop");
    QByteArray dat = "POIS" + QByteArray(3310, '\0');
    dat += Ov2Bytes().le32(3).le32(7311).le32(7314).le32(9361).le32(0).le32(0).le32(block.size());
    dat += QByteArray(3806 - dat.size(), '\0');
    dat += block;
    const QString path = tmp.write("poi.dat", dat);
    Editor e;
    e.w->OpenTTPoi(path, "9361:shop");
    EXPECT_EQ(e.w->gridRowCount(), 2);
    EXPECT_EQ(e.cell(3, 1), "Shop");
    Editor empty;
    empty.w->OpenTTPoi(path, "7314:Hotel/Motel");
    EXPECT_EQ(empty.w->gridRowCount(), 2);
    EXPECT_TRUE(empty.cell(1, 1).isEmpty());
    EXPECT_EQ(empty.w->windowTitle(), path + ":7314:Hotel/Motel");
}

TEST(Ov2Editor, SoundStateForTheMainWindowsRules)
{
    Editor e;
    EXPECT_TRUE(e.w->isWaveEmpty());
    EXPECT_FALSE(e.w->isPlaying());
    EXPECT_FALSE(e.w->isRecording());
    EXPECT_FALSE(e.w->hasWaveSelection());
    e.w->audio().storage.Wave.Assign(Mono16bit22050Hz(), QByteArray(22050 * 2, '\x10'));
    e.w->soundBox()->RefreshWave(true);
    EXPECT_FALSE(e.w->isWaveEmpty());
    e.w->NormalizeSound();
    EXPECT_EQ(e.w->DirtyMask, 4);
    // Redo without a file beside the list: the sound is emptied, the mask kept.
    e.w->DelSound();
    EXPECT_TRUE(e.w->isWaveEmpty());
    EXPECT_EQ(e.w->DirtyMask, 4);
    EXPECT_EQ(e.w->editorKind(), EditorKind::Poi);
    EXPECT_TRUE(e.w->isModified());
    ASSERT_TRUE(e.w->editorMenu());
    EXPECT_EQ(e.w->editorMenu()->title(), "Tools");
}

TEST(Ov2Editor, EscapeStopsTheDuplicateSearch)
{
    Editor e;
    TRBParamsTable &t = e.grid().Table();
    t.SetRowCount(1);
    for (int i = 0; i < 20000; ++i)
        t.AppendFields({"", "1993500", "5006200", "same place", ""});
    e.grid().TableChanged();
    // The key goes to whatever has the focus; the window watches the whole application.
    e.shell.onProgress = [&](const QString &) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(e.grid().viewport(), &press);
    };
    e.w->findDuplicates(50);
    int marked = 0;
    for (int r = 1; r < e.w->gridRowCount(); ++r)
        marked += (e.grid().GetCellFlags(1, r) & 0xC0) == 0xC0;
    EXPECT_GT(marked, 0);
    EXPECT_LT(marked, 10000);
    // Without the key the search runs through.
    e.shell.onProgress = nullptr;
    e.w->findDuplicates(50);
    EXPECT_EQ(e.cell(4, 20000), ">1");

    // Closing the window stops it too.
    e.answer = QMessageBox::No;
    bool closed = false;
    e.shell.onProgress = [&](const QString &) { closed = e.w->close(); };
    e.w->findDuplicates(50);
    EXPECT_TRUE(closed);
    marked = 0;
    for (int r = 1; r < e.w->gridRowCount(); ++r)
        marked += (e.grid().GetCellFlags(1, r) & 0xC0) == 0xC0;
    EXPECT_LT(marked, 10000);
}

TEST(Ov2Editor, ASoundTheEncoderRefusesStopsTheSaveBeforeTheList)
{
    if (!haveOggTools())
        GTEST_SKIP() << "vorbis-tools are not installed";
    TempFolder tmp;
    const QString file = tmp.write("Fuel.ov2", threePois());
    tmp.write("Fuel.bmp", readAll(file)); // any bytes: they must stay as they are
    Editor e;
    ASSERT_TRUE(e.w->OpenOV2(file));
    e.w->AddPoi("1", "1", "added");
    TWaveFormat odd;
    odd.formatTag = 0x55; // a compressed kind the encoder does not read
    odd.channels = 1;
    odd.samplesPerSec = 22050;
    odd.blockAlign = 1;
    e.w->audio().storage.Wave.Assign(odd, QByteArray(4000, '\x7f'));
    e.w->Save();
    EXPECT_EQ(e.messages, QStringList{"POI|Problem with saving files!"});
    EXPECT_EQ(readAll(file), QByteArray(threePois()));
    EXPECT_EQ(readAll(tmp.file("Fuel.bmp")), QByteArray(threePois()));
    EXPECT_FALSE(QFileInfo::exists(tmp.file("Fuel.ogg")));
    EXPECT_EQ(e.w->DirtyMask, 7);
    EXPECT_EQ(e.shell.refreshed, QStringList{"Fuel.ov2:1"});
}

TEST(Ov2Editor, DuplicatesSayHowManyRowsTheyMarkedAndWithinWhatDistance)
{
    TempFolder tmp;
    Editor e;
    // About 7 m apart, the third some kilometres away.
    ASSERT_TRUE(e.w->OpenOV2(tmp.write("two.ov2", Ov2Bytes().poi(1993500, 5006200, "a").poi(1993510, 5006200, "b").poi(2000000, 5006200, "c"))));
    e.w->findDuplicates(10);
    EXPECT_EQ(e.shell.status, "Marked 1 duplicate within 10 m");
    e.w->findDuplicates(5);
    EXPECT_EQ(e.shell.status, "No duplicates within 5 m");
}

TEST(Ov2Editor, AFailedOpenKeepsOnlyTheFolderSoSaveAsksForAName)
{
    TempFolder tmp;
    Editor e;
    // The user's file, which this program cannot read: it must stay as it is.
    const QByteArray broken = Ov2Bytes().poi(1, 1, "first").u8(11).raw("zz");
    const QString file = tmp.write("maps/Fuel.ov2", broken);
    EXPECT_FALSE(e.w->OpenOV2(file));
    e.w->AddPoi("2", "2", "typed after the message");
    e.w->Save();
    EXPECT_EQ(e.saveDialogs, 1) << "Save must ask for a name";
    EXPECT_EQ(QDir(e.saveDialogDir).absolutePath(), QDir(tmp.file("maps")).absolutePath());
    EXPECT_EQ(readAll(file), broken);
    // Closing with Yes asks for a name too and, cancelled, keeps the window.
    e.answer = QMessageBox::Yes;
    EXPECT_FALSE(e.w->close());
    EXPECT_EQ(e.saveDialogs, 2);
    EXPECT_EQ(readAll(file), broken);
}

TEST(Ov2Editor, CancelOrEscapeInTheCloseQuestionKeepsWindowAndChanges)
{
    TempFolder tmp;
    Editor e;
    const QString file = tmp.write("a.ov2", threePois());
    ASSERT_TRUE(e.w->OpenOV2(file));
    e.w->AddPoi("1", "1", "added");
    e.answer = QMessageBox::Cancel;
    EXPECT_FALSE(e.w->close());
    EXPECT_TRUE(e.w->isModified());
    EXPECT_EQ(e.saveDialogs, 0);
    EXPECT_EQ(readAll(file), QByteArray(threePois()));

    // The question the user really sees: three answers, Escape is Cancel.
    FakeShell shell;
    TOV2 w(shell);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.New(tmp.path());
    w.AddPoi("1", "1", "typed");
    QStringList buttons;
    onNextModal([&buttons](QWidget *box) {
        for (QAbstractButton *b : box->findChildren<QAbstractButton *>())
            buttons << b->text().remove(u'&');
        QTest::keyClick(box, Qt::Key_Escape);
    });
    w.show();
    EXPECT_FALSE(w.close());
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Cancel", "No", "Yes"}));
    EXPECT_TRUE(w.isModified());
    EXPECT_TRUE(w.isVisible());
    w.DirtyMask = 0; // let it go without a question
}

TEST(Ov2Editor, ImportMenuShowsWhileItHasEntries)
{
    FakeShell shell;
    TOV2 w(shell);
    QMenu *import = w.importMenu();
    ASSERT_TRUE(import);
    EXPECT_TRUE(w.editorMenu()->actions().contains(import->menuAction()));
    EXPECT_TRUE(import->menuAction()->isVisible()); // the feed imports
    const QList<QAction *> entries = import->actions();
    ASSERT_FALSE(entries.isEmpty());
    for (QAction *a : entries)
        import->removeAction(a);
    EXPECT_FALSE(import->menuAction()->isVisible());
    import->addAction(entries.first());
    EXPECT_TRUE(import->menuAction()->isVisible());
}

TEST(Ov2Editor, ACoordinateThatIsNoWholeNumberStopsTheSaveBeforeAnyWrite)
{
    TempFolder tmp;
    const QString file = tmp.write("Fuel.ov2", threePois());
    Editor e;
    ASSERT_TRUE(e.w->OpenOV2(file));
    QString detail;
    e.w->dialogs.message = [&](QWidget *, const QString &caption, const QString &text, const QString &d) {
        e.messages << caption + "|" + text;
        detail = d;
    };
    e.grid().SetCell(1, 2, "19.95");
    EXPECT_TRUE(e.grid().OnCellFault(&e.grid(), 1, 2, e.cell(1, 2))) << "the grid shows the cell at fault";
    e.w->Save();
    // The reason is in the message itself, not only behind "Show Details...".
    EXPECT_EQ(e.messages, QStringList{"POI|Problem with saving files!\nRow 2: longitude \"19.95\" is not a whole number of 1/100000 degrees"});
    EXPECT_EQ(detail, "Row 2: longitude \"19.95\" is not a whole number of 1/100000 degrees");
    EXPECT_EQ(readAll(file), QByteArray(threePois()));

    // Mended, and with the grid's empty last row: that row is not written.
    e.grid().SetCell(1, 2, "1993510");
    e.grid().SetRowCount(e.grid().RowCount() + 1);
    e.messages.clear();
    e.w->Save();
    EXPECT_TRUE(e.messages.isEmpty());
    Ov2Data d;
    ASSERT_EQ(readOv2File(file, d), QString());
    EXPECT_EQ(d.pois.size(), 3u);
}

TEST(Ov2Editor, F3StepsThroughSelectAndFindMatchesOnALongList)
{
    TempFolder tmp;
    Ov2Bytes bytes;
    for (int i = 0; i < 3000; ++i)
        bytes.poi(1900000 + i, 5000000 + i, i % 1000 == 7 ? QByteArray("Stacja nr ") + QByteArray::number(i) : QByteArray("pole"));
    Editor e;
    ASSERT_TRUE(e.w->OpenOV2(tmp.write("long.ov2", bytes)));
    e.w->resize(700, 500);
    e.w->show();
    const auto rowWith = [&e](int row) { return e.cell(3, row); };
    const auto inView = [&e] {
        const QRect cell = e.grid().visualRect(e.grid().model()->index(e.grid().Row() - 1, 0));
        return e.grid().viewport()->rect().intersects(cell);
    };
    e.w->dialogs.inputText = [](QWidget *, const QString &, const QString &, const QString &, bool &ok) { ok = true; return QStringLiteral("stacja"); };
    e.w->SelectText();
    EXPECT_EQ(e.shell.status, "3 matches");
    EXPECT_TRUE(rowWith(e.grid().Row()).startsWith("Stacja")) << "the first match is current";
    EXPECT_TRUE(inView());
    const int first = e.grid().Row();
    e.grid().setFocus();
    QTest::keyClick(&e.grid(), Qt::Key_F3);
    EXPECT_GT(e.grid().Row(), first);
    EXPECT_TRUE(rowWith(e.grid().Row()).startsWith("Stacja"));
    EXPECT_TRUE(inView());
    QTest::keyClick(&e.grid(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(e.grid().Row(), first);

    // After the find dialog F3 repeats its search, not the marks.
    e.grid().UnmarkAllRows(0xFF);
    e.grid().SetCurrentCell(1, 1);
    e.w->findNext(QStringLiteral("nr 2007"), true, false);
    EXPECT_EQ(rowWith(e.grid().Row()), "Stacja nr 2007");
    EXPECT_EQ(e.shell.status, "1 match");
    e.grid().SetCurrentCell(1, 1);
    QTest::keyClick(&e.grid(), Qt::Key_F3);
    EXPECT_EQ(rowWith(e.grid().Row()), "Stacja nr 2007");
    EXPECT_TRUE(inView());
}

TEST(Ov2Editor, TheListsMenuInsertsDeletesAndCopiesRowsOrTheCell)
{
    TempFolder tmp;
    Editor e;
    ASSERT_TRUE(e.w->OpenOV2(tmp.write("d.ov2", threePois())));
    QMenu *menu = nullptr;
    for (QMenu *m : e.w->findChildren<QMenu *>())
        for (QAction *a : m->actions())
            if (a->text() == "Edit POI")
                menu = m;
    ASSERT_NE(menu, nullptr);
    const auto action = [menu](const char *text) {
        for (QAction *a : menu->actions())
            if (a->text() == QLatin1String(text))
                return a;
        return static_cast<QAction *>(nullptr);
    };
    for (const char *text : {"Insert row above", "Delete rows", "Cut", "Copy", "Paste"})
        ASSERT_NE(action(text), nullptr) << text;

    const QString firstName = e.cell(3, 1);
    e.grid().SetCurrentCell(3, 2);
    action("Insert row above")->trigger();
    EXPECT_EQ(e.grid().Row(), 2);
    EXPECT_TRUE(e.grid().IsRowEmpty(2));
    EXPECT_EQ(e.cell(3, 3), "Sukiennice");
    action("Delete rows")->trigger(); // no mark: the current row
    EXPECT_EQ(e.cell(3, 2), "Sukiennice");
    e.grid().SetCurrentCell(3, 3);
    action("Copy")->trigger(); // no mark: the cell's text
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Wawel");
    e.grid().MarkRow(1, RBFlags::RowMark);
    action("Delete rows")->trigger();
    EXPECT_EQ(e.cell(3, 1), "Sukiennice");
    EXPECT_EQ(e.grid().RowCount(), 3);
    ASSERT_NE(e.grid().UndoStack(), nullptr);
    e.grid().UndoStack()->undo();
    EXPECT_EQ(e.cell(3, 1), firstName) << "undoable";
}
