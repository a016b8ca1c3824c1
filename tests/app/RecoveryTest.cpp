// SPDX-License-Identifier: GPL-3.0-or-later
// Crash recovery: a run is killed for real (SIGKILL of a child process that edited its
// lists with real key events), the next start asks and brings the lists back; clean
// closes and exits leave nothing; Later keeps, Discard drops; a living copy keeps its
// files; garbage is set aside with a message by the real program.
#include "app/EditorRegistry.h"
#include "app/MainForm.h"
#include "app/Recovery.h"
#include "app/SampleDevice.h"
#include "core/RBParamsTable.h"
#include "grid/RBGrids.h"
#include "grid/RBItnGrid.h"
#include "itn/Itn.h"
#include "poi/Ov2Editor.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>

#include <signal.h>

namespace {

bool waitUntil(const std::function<bool()> &done, int ms = 30000)
{
    for (int waited = 0; waited < ms; waited += 20) {
        if (done())
            return true;
        QTest::qWait(20);
    }
    return done();
}

// F2 on the cell, the old text selected away, `text` typed key by key, Enter.
void typeInto(TRBGrid *g, int col, int row, const QString &text)
{
    g->setFocus();
    g->SetCurrentCell(col, row);
    QTest::keyClick(g, Qt::Key_F2);
    QLineEdit *editor = nullptr;
    for (QLineEdit *e : g->viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
    for (QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(editor, ch.toLatin1());
        } else {
            // Letters beyond ASCII as a keyboard layout sends them: a key event with text.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(editor, &press);
            QApplication::sendEvent(editor, &release);
        }
    }
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}

// Ctrl and a click on a row marks it, as the user does.
void ctrlClickRow(TRBGrid *g, int row)
{
    g->scrollTo(g->model()->index(row, 2));
    const QRect cell = g->visualRect(g->model()->index(row, 2));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
    QApplication::processEvents();
}

// Data rows (from row 1) as texts without the number column, each with its row's flags.
QStringList rowsOf(const TRBParamsTable &t)
{
    QStringList out;
    for (int r = 1; r < t.RowCount(); ++r) {
        QStringList fields;
        for (int c = 1; c < t.ColCount(); ++c)
            fields << t.Cell(c, r);
        QStringList flags;
        for (int c = 0; c < t.ColCount(); ++c)
            flags << QString::number(t.Flags(c, r), 16);
        out << fields.join(u'\t') + QStringLiteral(" |") + flags.join(u',');
    }
    return out;
}

QStringList recoveryFiles(const QString &dir)
{
    return QDir(dir).entryList({"*.krec"}, QDir::Files, QDir::Name);
}

// Clicks the button `text` of the next message box; keeps what it said.
void answerNextBox(const QString &text, QString *said = nullptr, QString *lines = nullptr)
{
    onNextModal([text, said, lines](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box)
            return;
        if (said)
            *said = box->text();
        if (lines)
            *lines = box->informativeText();
        for (QAbstractButton *b : box->buttons())
            if (b->text().remove(u'&') == text) {
                b->click();
                return;
            }
        ADD_FAILURE() << "no button " << text.toStdString();
        box->reject();
    });
}

struct Window {
    std::unique_ptr<TMainForm> form;
    TRecovery *recovery = nullptr;
    explicit Window(const QString &device)
    {
        form = std::make_unique<TMainForm>(folderOnly(device));
        registerEditors(*form);
        form->show();
        recovery = new TRecovery(*form);
        recovery->setDelays(150, 600);
        QApplication::processEvents();
    }
};

// A recovery file as an ended run leaves it: no one holds its instance.
QString writeEnded(const QString &dir, const QString &name, Recovery::DocumentKind kind, const QString &fileName,
                   const std::vector<QStringList> &rows, const std::vector<Recovery::Mark> &marks)
{
    Recovery::Header h;
    h.kind = kind;
    h.fileName = fileName;
    h.time = QDateTime::fromString("2026-12-01T10:20:30Z", Qt::ISODate);
    h.instance = Recovery::instanceOfFile(name);
    QDir().mkpath(dir);
    const QString path = dir + name;
    const QString error = Recovery::write(
        path, h, 5, int(rows.size()),
        [&rows](int r, std::vector<QStringView> &f) {
            for (const QString &s : rows[size_t(r)])
                f.push_back(s);
        },
        marks);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return path;
}

constexpr char RoleVariable[] = "KORVIX_RECOVERY_ROLE";

} // namespace

// The run that is killed: the test below starts this test binary as its child with
// the variables set. It opens a list of the device and a new one, types into both,
// marks a row and sorts, waits until the recovery files hold what the grids hold,
// says READY and waits to be killed.
TEST(RecoveryRole, EditsAndWaitsToBeKilled)
{
    if (qEnvironmentVariableIsEmpty(RoleVariable))
        GTEST_SKIP() << "runs as the child of AKilledRunsListsComeBackAsTheUserLeftThem";
    qputenv("XDG_DATA_HOME", qgetenv("KORVIX_RECOVERY_DATA"));
    const QString device = qEnvironmentVariable("KORVIX_RECOVERY_DEVICE");
    const QString out = qEnvironmentVariable("KORVIX_RECOVERY_OUT");
    Window w(device);
    w.form->openFiles({device + "/Sample_Map/Fuel.ov2"});
    ASSERT_EQ(editorsOf<TOV2>(*w.form).size(), 1);
    TOV2 *fuel = editorsOf<TOV2>(*w.form).first();
    typeInto(fuel->grid(), 3, 2, QStringLiteral("Typed by hand"));
    typeInto(fuel->grid(), 3, 4, QStringLiteral("Zażółć gęślą"));
    fuel->grid()->SortByColumn(3, true);
    ctrlClickRow(fuel->grid(), 3);
    ctrlClickRow(fuel->grid(), 5);

    auto *fresh = new TOV2(*w.form);
    w.form->addEditorWindow(fresh);
    fresh->New(device + "/Sample_Map");
    typeInto(fresh->grid(), 1, 1, QStringLiteral("1995000"));
    typeInto(fresh->grid(), 2, 1, QStringLiteral("5006000"));
    typeInto(fresh->grid(), 3, 1, QStringLiteral("Never saved"));
    ctrlClickRow(fresh->grid(), 1);

    const auto current = [&w](TOV2 *e) {
        const QString path = w.recovery->fileOf(e);
        if (path.isEmpty())
            return false;
        const std::optional<Recovery::Document> d = Recovery::read(path, nullptr);
        if (!d)
            return false;
        TRBParamsTable t;
        TRecovery::fillTable(t, e->grid()->Table().Row(0), *d);
        return rowsOf(t) == rowsOf(e->grid()->Table());
    };
    ASSERT_TRUE(waitUntil([&] { return current(fuel) && current(fresh); }));
    QFile expected(out);
    ASSERT_TRUE(expected.open(QIODevice::WriteOnly));
    expected.write((rowsOf(fuel->grid()->Table()).join(u'\n') + "\n--\n" + rowsOf(fresh->grid()->Table()).join(u'\n')).toUtf8());
    expected.close();
    std::fputs("READY\n", stdout);
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

TEST(Recovery, AKilledRunsListsComeBackAsTheUserLeftThem)
{
    TempFolder tmp;
    const QString device = tmp.file("dev");
    ASSERT_TRUE(SampleDevice::write(device).isEmpty());
    const QString fuelPath = device + "/Sample_Map/Fuel.ov2";
    const QByteArray fuelBefore = readAll(fuelPath);
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    const QString dir = data + "/Korvix/recovery/";

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(RoleVariable, "1");
    env.insert("KORVIX_RECOVERY_DATA", data);
    env.insert("KORVIX_RECOVERY_DEVICE", device);
    env.insert("KORVIX_RECOVERY_OUT", tmp.file("expected.txt"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=RecoveryRole.*"});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray said;
    while (!said.contains("READY") && child.state() == QProcess::Running && child.waitForReadyRead(60000))
        said += child.readAllStandardOutput();
    ASSERT_TRUE(said.contains("READY")) << said.toStdString() << child.readAllStandardError().toStdString();
    const qint64 childPid = child.processId();
    ::kill(pid_t(childPid), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);
    ASSERT_EQ(recoveryFiles(dir).size(), 2) << recoveryFiles(dir).join(' ').toStdString();
    // Each file says what it is, where it belongs and which run wrote it.
    for (const QString &name : recoveryFiles(dir)) {
        const std::optional<Recovery::Document> d = Recovery::read(dir + name, nullptr);
        ASSERT_TRUE(d) << name.toStdString();
        EXPECT_EQ(d->header.kind, Recovery::DocumentKind::PoiList);
        EXPECT_TRUE(d->header.fileName == fuelPath || d->header.fileName == device + "/Sample_Map/")
            << d->header.fileName.toStdString();
        EXPECT_EQ(QDir::cleanPath(d->header.device), QDir::cleanPath(device));
        EXPECT_TRUE(d->header.instance.startsWith(QString::number(childPid) + "-"))
            << d->header.instance.toStdString();
        EXPECT_LT(qAbs(d->header.time.secsTo(QDateTime::currentDateTimeUtc())), 600);
    }
    // The real program started after the crash finds both lists and asks; killed while
    // it asks, it has taken nothing.
    {
        QProcess program;
        program.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix"), {"--device", device});
        ASSERT_TRUE(program.waitForStarted());
        QByteArray err;
        EXPECT_TRUE(waitUntil(
            [&] {
                err += program.readAllStandardError();
                return err.count("did not end cleanly") == 2;
            },
            60000))
            << err.toStdString();
        EXPECT_EQ(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
        EXPECT_EQ(recoveryFiles(dir).size(), 2);
    }
    const QStringList expected = QString::fromUtf8(readAll(tmp.file("expected.txt"))).split("\n--\n");
    ASSERT_EQ(expected.size(), 2);

    {
        // The next start asks, naming both lists and where they belong.
        Window w(device);
        QString question, lines;
        answerNextBox("Recover", &question, &lines);
        w.recovery->askAtStart();
        EXPECT_EQ(question, "Korvix was not closed properly. Recover these lists?");
        EXPECT_TRUE(lines.contains("Fuel.ov2 \u2014 " + device + "/Sample_Map \u2014 ")) << lines.toStdString();
        EXPECT_TRUE(lines.contains("New POI list \u2014 " + device + "/Sample_Map/")) << lines.toStdString();

        const QList<TOV2 *> editors = editorsOf<TOV2>(*w.form);
        ASSERT_EQ(editors.size(), 2);
        TOV2 *fuel = editors[0]->FileName == fuelPath ? editors[0] : editors[1];
        TOV2 *fresh = fuel == editors[0] ? editors[1] : editors[0];
        // Under its own name, changed, rows, marks and order as they were typed.
        EXPECT_EQ(fuel->FileName, fuelPath);
        EXPECT_TRUE(fuel->isModified());
        EXPECT_TRUE(fuel->windowTitle().startsWith(fuelPath)) << fuel->windowTitle().toStdString();
        EXPECT_EQ(rowsOf(fuel->grid()->Table()).join(u'\n'), expected[0]);
        EXPECT_TRUE(expected[0].contains("Typed by hand")) << expected[0].toStdString();
        EXPECT_TRUE(expected[0].contains("Zażółć gęślą"));
        EXPECT_TRUE(expected[0].contains(" |0,80,80,80,80")) << expected[0].toStdString();
        // A new list stays new: a save asks for a name in its folder.
        EXPECT_TRUE(fresh->FileName.endsWith("/Sample_Map/")) << fresh->FileName.toStdString();
        EXPECT_TRUE(fresh->isModified());
        EXPECT_EQ(rowsOf(fresh->grid()->Table()).join(u'\n'), expected[1]);
        EXPECT_TRUE(expected[1].contains("Never saved"));
        // Nothing reached the device; this run now keeps the lists' files.
        EXPECT_EQ(readAll(fuelPath), fuelBefore);
        ASSERT_EQ(recoveryFiles(dir).size(), 2);
        for (const QString &name : recoveryFiles(dir))
            EXPECT_TRUE(name.startsWith(w.recovery->instance() + "-")) << name.toStdString();
        EXPECT_TRUE(QFile::exists(w.recovery->fileOf(fuel)));
    }
    // A clean exit leaves nothing behind: no list's file, no lock.
    EXPECT_TRUE(QDir(dir).entryList(QDir::Files | QDir::Hidden).isEmpty()) << QDir(dir).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
}

TEST(Recovery, LaterKeepsTheFilesForTheNextStartAndDiscardDropsThem)
{
    TempFolder tmp;
    const QString device = tmp.file("dev");
    ASSERT_TRUE(SampleDevice::write(device).isEmpty());
    const QString dir = Recovery::folder();
    writeEnded(dir, "11-1-1.krec", Recovery::DocumentKind::Itinerary, device + "/Itn/Krakow.itn",
               {{"LP"}, {"1", "1", "2", "A", "0"}}, {});
    writeEnded(dir, "11-1-2.krec", Recovery::DocumentKind::PoiList, QString(), {{"LP"}, {"1", "3", "4", "B"}}, {});

    for (int start = 0; start < 2; ++start) {
        Window w(device);
        QString lines;
        answerNextBox("Later", nullptr, &lines);
        w.recovery->askAtStart();
        EXPECT_TRUE(lines.contains("Krakow.itn \u2014 " + device + "/Itn \u2014 ")) << lines.toStdString();
        EXPECT_TRUE(lines.contains("New POI list \u2014 no folder")) << lines.toStdString();
        EXPECT_TRUE(w.form->mdiArea()->subWindowList().isEmpty());
        EXPECT_EQ(recoveryFiles(dir), (QStringList{"11-1-1.krec", "11-1-2.krec"}));
    }
    Window w(device);
    answerNextBox("Discard");
    w.recovery->askAtStart();
    EXPECT_TRUE(w.form->mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(recoveryFiles(dir).isEmpty());
}

TEST(Recovery, AnItineraryComesBackWithItsMarksAndOrderUnderItsName)
{
    TempFolder tmp;
    const QString device = tmp.file("dev");
    ASSERT_TRUE(SampleDevice::write(device).isEmpty());
    const QString itn = device + "/Itn/Krakow.itn";
    const QByteArray before = readAll(itn);
    // Not in any order a reader would give; row 2 marked, a cell of row 3 coloured.
    const std::vector<QStringList> rows{{"LP", "x", "y", "z", "f"},
                                        {"1", "1994000", "5006000", "Zeta", "4"},
                                        {"2", "1993000", "5005000", "Alpha", "0"},
                                        {"3", "", "", "", ""},
                                        {"4", "1995000", "5007000", "Mid ąę", "2"}};
    writeEnded(Recovery::folder(), "12-1-1.krec", Recovery::DocumentKind::Itinerary, itn, rows,
               {{2, 0, 0x80}, {2, 1, 0x80}, {2, 2, 0x80}, {2, 3, 0x80}, {2, 4, 0x80}, {3, 3, 0x3F0}});

    Window w(device);
    answerNextBox("Recover");
    w.recovery->askAtStart();
    ASSERT_EQ(editorsOf<TItnEdit>(*w.form).size(), 1);
    TItnEdit *e = editorsOf<TItnEdit>(*w.form).first();
    EXPECT_EQ(e->documentPath(), itn);
    EXPECT_TRUE(e->isModified());
    EXPECT_EQ(e->windowTitle(), itn + "*");
    const TRBParamsTable &t = e->ItnGrid()->Table();
    ASSERT_EQ(t.RowCount(), 5);
    EXPECT_EQ(t.Cell(3, 0), "Name"); // the editor's own header
    for (int r = 1; r < 5; ++r)
        for (int c = 1; c < 5; ++c)
            EXPECT_EQ(t.Cell(c, r), rows[size_t(r)][c]) << r << "," << c;
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(t.Flags(c, 2), 0x80u) << c;
    EXPECT_EQ(t.Flags(3, 3), 0x3F0u);
    EXPECT_EQ(t.Flags(1, 1), 0u);
    // An undo back to the first step does not make it look saved.
    EXPECT_FALSE(e->ItnGrid()->UndoStack()->isClean());
    EXPECT_EQ(readAll(itn), before);
}

TEST(Recovery, ASaveOrACleanCloseTakesTheListsFileAway)
{
    TempFolder tmp;
    const QString device = tmp.file("dev");
    ASSERT_TRUE(SampleDevice::write(device).isEmpty());
    Window w(device);
    w.form->openFiles({device + "/Sample_Map/Fuel.ov2"});
    TOV2 *fuel = editorsOf<TOV2>(*w.form).first();
    typeInto(fuel->grid(), 3, 1, QStringLiteral("first change"));
    ASSERT_TRUE(waitUntil([&] { return !w.recovery->fileOf(fuel).isEmpty(); }));
    const QString path = w.recovery->fileOf(fuel);
    EXPECT_TRUE(QFile::exists(path));

    fuel->Save();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(w.recovery->fileOf(fuel).isEmpty());

    // Changed again, then closed with its changes thrown away on purpose.
    typeInto(fuel->grid(), 3, 1, QStringLiteral("second change"));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(path); }));
    QString asked;
    answerNextBox("No", &asked);
    w.form->mdiArea()->subWindowList().first()->close();
    QApplication::processEvents();
    EXPECT_EQ(asked, "Do you want to save changes?");
    EXPECT_TRUE(w.form->mdiArea()->subWindowList().isEmpty());
    EXPECT_FALSE(QFile::exists(path));
    QTest::qWait(700); // past the longest delay: nothing comes back
    EXPECT_TRUE(recoveryFiles(Recovery::folder()).isEmpty());
}

// The real program: an unreadable file is set aside with a message and no crash; the
// files of a copy that still runs (this test process holds its lock) are left alone.
TEST(Recovery, TheProgramSetsGarbageAsideAndLeavesALivingCopysFiles)
{
    TempFolder tmp;
    const QString device = tmp.file("dev");
    ASSERT_TRUE(SampleDevice::write(device).isEmpty());
    const QString dir = Recovery::folder();
    QDir().mkpath(dir);
    tmp.write("garbage", QByteArray(5000, '\x7f'));
    QFile::copy(tmp.file("garbage"), dir + "21-1-1.krec");
    const QString ended = writeEnded(dir, "22-1-1.krec", Recovery::DocumentKind::PoiList, device + "/Sample_Map/Fuel.ov2",
                                     {{"LP"}, {"1", "1", "2", "Ended"}}, {});
    Recovery::InstanceLock living(dir, "23-1");
    ASSERT_TRUE(living.tryTake());
    const QString alive = writeEnded(dir, "23-1-1.krec", Recovery::DocumentKind::PoiList, QString(),
                                     {{"LP"}, {"1", "1", "2", "Alive"}}, {});
    const QByteArray aliveBytes = readAll(alive);

    QProcess program;
    program.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix"), {"--device", device});
    ASSERT_TRUE(program.waitForStarted());
    QByteArray err;
    const auto told = [&] {
        err += program.readAllStandardError();
        return err.contains("cannot be read") && err.contains("did not end cleanly");
    };
    EXPECT_TRUE(waitUntil(told, 60000)) << err.toStdString();
    QTest::qWait(500);
    err += program.readAllStandardError();
    // Still running, waiting for the user's answer.
    EXPECT_EQ(program.state(), QProcess::Running) << err.toStdString();
    EXPECT_TRUE(err.contains("21-1-1.krec")) << err.toStdString();
    EXPECT_TRUE(err.contains(ended.toUtf8())) << err.toStdString();
    EXPECT_FALSE(err.contains("23-1-1.krec")) << err.toStdString();
    EXPECT_TRUE(QFile::exists(dir + "21-1-1.krec.bad"));
    EXPECT_EQ(readAll(alive), aliveBytes);
    program.kill();
    program.waitForFinished();
    living.release();
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(dir + name);
}

// A list that keeps changing is still written: the quiet time after the last change
// never comes, the longest interval does.
TEST(Recovery, AListThatKeepsChangingIsWrittenWhileItChanges)
{
    TempFolder tmp;
    const QString device = tmp.file("dev");
    ASSERT_TRUE(SampleDevice::write(device).isEmpty());
    Window w(device);
    w.recovery->setDelays(400, 800);
    w.form->openFiles({device + "/Sample_Map/Fuel.ov2"});
    TOV2 *fuel = editorsOf<TOV2>(*w.form).first();
    int writes = 0;
    QObject::connect(w.recovery, &TRecovery::written, [&writes](const QString &, const QString &error) {
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        ++writes;
    });
    // A change typed about every 100 ms for 2 s: never 400 ms of quiet.
    QElapsedTimer typing;
    typing.start();
    int n = 0;
    while (typing.elapsed() < 2000) {
        typeInto(fuel->grid(), 3, 1, QString::number(++n));
        QTest::qWait(60);
    }
    EXPECT_GE(writes, 1);
    // Once quiet, the last change goes in.
    ASSERT_TRUE(waitUntil([&] {
        const auto now = Recovery::read(w.recovery->fileOf(fuel), nullptr);
        return now && now->rows[1][3] == QString::number(n);
    }));
}
