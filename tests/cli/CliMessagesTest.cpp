// SPDX-License-Identifier: GPL-3.0-or-later
// What the two programs say on the command line: help, version, and the one form of
// every error ("FILE: reason"), run as the user runs them.
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int code = -1; // -1: still running after the time limit (then killed)
    QByteArray out, err;
};

// `program` of this build with `args`, the environment without `drop` and with `set`.
ProgramRun run(const QString &program, const QStringList &args, const QStringList &drop = {},
        const QStringList &set = {}, int limitMs = 60000)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &name : drop)
        env.remove(name);
    for (const QString &pair : set)
        env.insert(pair.section('=', 0, 0), pair.section('=', 1));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/") + program, args);
    p.closeWriteChannel();
    ProgramRun r;
    if (!p.waitForFinished(limitMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QByteArray local(const QString &path)
{
    return path.toUtf8();
}

} // namespace

TEST(CliMessages, HelpPrintsToStandardOutputAndExits)
{
    // No runtime folder, as under a plain login shell or cron: Qt's warning about it
    // must not reach the command line's standard error.
    for (const char *ask : {"-h", "--help", "help"}) {
        const ProgramRun r = run("korvix-cli", {ask}, {"XDG_RUNTIME_DIR"});
        EXPECT_EQ(r.code, 0) << ask;
        EXPECT_TRUE(r.out.startsWith("usage: korvix-cli COMMAND [ARGS]\n")) << ask;
        EXPECT_TRUE(r.out.contains("\n  dedup [--progress] FILE.ov2 METRES")) << ask;
        EXPECT_TRUE(r.out.endsWith('\n')) << ask;
        EXPECT_EQ(r.err, "") << ask;
    }
    ProgramRun r = run("korvix-cli", {"help", "ov2"}, {"XDG_RUNTIME_DIR"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "usage: korvix-cli ov2 dump FILE | write OUT.ov2 < rows.tsv | export csv|asc|qcsv IN OUT | "
                     "check FILE\n");
    EXPECT_EQ(r.err, "");
    r = run("korvix-cli", {"help", "frobnicate"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.startsWith("korvix-cli: no help on frobnicate\nusage: korvix-cli COMMAND")) << r.err.constData();
    // Without arguments the usage is a mistake: standard error, exit 2.
    r = run("korvix-cli", {});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.startsWith("usage: korvix-cli COMMAND [ARGS]\n"));
}

TEST(CliMessages, TheWindowAnswersHelpAndVersionWithoutStarting)
{
    // Neither a display nor the offscreen platform: a window starting would abort or
    // stay open, and both fail here within the limit.
    for (const QStringList &platform : {QStringList{}, QStringList{"QT_QPA_PLATFORM=offscreen"}}) {
        const QStringList unset{"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"};
        ProgramRun r = run("korvix", {"--version"}, unset, platform, 10000);
        EXPECT_EQ(r.code, 0) << platform.join(' ').toStdString();
        EXPECT_EQ(r.out, "Korvix " KORVIX_VERSION "\n");
        EXPECT_EQ(r.err, "");
        r = run("korvix", {"--help"}, unset, platform, 10000);
        EXPECT_EQ(r.code, 0);
        EXPECT_TRUE(r.out.startsWith("usage: korvix [--device DIR]... [-SuperUser] [FILE]...\n")) << r.out.constData();
        EXPECT_TRUE(r.out.contains("\n  --version     print the version and exit\n"));
        EXPECT_TRUE(r.out.endsWith("korvix-cli help\n"));
        EXPECT_EQ(r.err, "");
    }
}

TEST(CliMessages, EveryErrorNamesTheFileFirstAndTheReason)
{
    TempFolder tmp;
    const QString none = tmp.file("none.ov2");
    const QByteArray missing = local(none) + ": Can't open OV2 file: No such file or directory\n";
    for (const QStringList &args : {QStringList{"ov2", "dump", none}, QStringList{"ov2", "check", none},
                                    QStringList{"ov2", "export", "csv", none, tmp.file("o.txt")},
                                    QStringList{"dedup", none, "50"}}) {
        const ProgramRun r = run("korvix-cli", args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, missing) << args.join(' ').toStdString();
    }
    ProgramRun r = run("korvix-cli", {"ov2", "dump", tmp.path()});
    EXPECT_EQ(r.err, local(tmp.path()) + ": Can't open OV2 file: Is a directory\n");
    r = run("korvix-cli", {"itn", "dump", tmp.file("none.itn")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, local(tmp.file("none.itn")) + ": Cannot open file: No such file or directory\n");
    r = run("korvix-cli", {"poidat", "list", tmp.file("poi.dat")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, local(tmp.file("poi.dat")) + ": Can't open the POI database: No such file or directory\n");
    r = run("korvix-cli", {"sound", "info", tmp.file("none.wav")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, local(tmp.file("none.wav")) + ": Can't open the sound file: No such file or directory\n");
    r = run("korvix-cli", {"image", "startup", tmp.file("none.jpg"), tmp.file("o.bmp")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, local(tmp.file("none.jpg")) + ": Can't open: No such file or directory\n");
    r = run("korvix-cli", {"tree", tmp.path()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, local(tmp.path()) + ": Not a device folder (it needs TTGO.BIF and ttsystem)\n");

    // The reader's field dump: its lines end in line feeds on a terminal.
    const QString bad = tmp.write("bad.ov2", Ov2Bytes().poi(1, 1, "a").u8(11).raw("zz"));
    r = run("korvix-cli", {"ov2", "dump", bad});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(local(bad) + ": Unknown Field: 0000000F : 0B(11) : ")) << r.err.constData();
    EXPECT_FALSE(r.err.contains('\r'));
    EXPECT_GE(r.err.count('\n'), 2);
    EXPECT_TRUE(r.err.endsWith('\n'));
}

TEST(CliMessages, OutputsTheCommandCannotWriteAreRefused)
{
    TempFolder tmp;
    const QString in = tmp.write("in.wav", "whatever: the output is checked first");
    ProgramRun r = run("korvix-cli", {"sound", "convert", in, tmp.file("b.mp3")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, local(tmp.file("b.mp3")) + ": Can't write this kind of file: the output must end in .wav or .ogg\n");
    r = run("korvix-cli", {"sound", "normalize", in, tmp.file("b")});
    EXPECT_EQ(r.code, 2);
    r = run("korvix-cli", {"image", "startup", in, tmp.file("o.png")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, local(tmp.file("o.png")) + ": Can't write this kind of file: the output must end in .bmp\n");
    EXPECT_FALSE(QFileInfo::exists(tmp.file("b.mp3")));
    EXPECT_FALSE(QFileInfo::exists(tmp.file("b")));
    EXPECT_FALSE(QFileInfo::exists(tmp.file("o.png")));
}

TEST(CliMessages, SampleDeviceKeepsAFolderThatHoldsFiles)
{
    TempFolder tmp;
    const QString mine = tmp.write("dev/TTGO.BIF", "[TomTomGo]\r\nDeviceName=Mine\r\n");
    ProgramRun r = run("korvix-cli", {"sample-device", tmp.file("dev")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, local(tmp.file("dev")) + ": The folder is not empty; --force writes the sample device into it anyway\n");
    EXPECT_EQ(readAll(mine), "[TomTomGo]\r\nDeviceName=Mine\r\n");
    EXPECT_FALSE(QFileInfo::exists(tmp.file("dev/ttsystem")));
    // A hidden file counts as well.
    tmp.write("hidden/.keep", "x");
    EXPECT_EQ(run("korvix-cli", {"sample-device", tmp.file("hidden")}).code, 1);

    r = run("korvix-cli", {"sample-device", "--force", tmp.file("dev")});
    EXPECT_EQ(r.code, 0) << r.err.constData();
    EXPECT_TRUE(readAll(mine).contains("DeviceName=Korvix Sample"));
    // A new folder and an empty one are written without asking.
    EXPECT_EQ(run("korvix-cli", {"sample-device", tmp.file("new/dev")}).code, 0);
    EXPECT_TRUE(QFileInfo::exists(tmp.file("new/dev/ttsystem")));
    tmp.mkdir("empty");
    EXPECT_EQ(run("korvix-cli", {"sample-device", tmp.file("empty")}).code, 0);
    EXPECT_TRUE(QFileInfo::exists(tmp.file("empty/ttsystem")));
}

TEST(CliMessages, EmptyInputNoDatabaseAndOverlongAreas)
{
    TempFolder tmp;
    // An itinerary written from empty input (a forgotten redirection) stays as it was.
    const QString itn = tmp.write("route.itn", "1993730|5006170|Rynek|4|\r\n");
    for (const QByteArray &input : {QByteArray(), QByteArray("\n\r\n\t\t\t\n")}) {
        const CliRun r = runCli({"itn", "write", itn}, input);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, local(itn) + ": There is no route point to save\n");
        EXPECT_EQ(readAll(itn), "1993730|5006170|Rynek|4|\r\n");
    }
    EXPECT_FALSE(QFileInfo::exists(tmp.file("new.itn")) );
    EXPECT_EQ(runCli({"itn", "write", tmp.file("new.itn")}).code, 1);
    EXPECT_FALSE(QFileInfo::exists(tmp.file("new.itn")));

    // Any other file given as the POI database says so instead of listing nothing.
    const QString text = tmp.write("notes.txt", "hello, this is no database\n");
    CliRun r = runCli({"poidat", "list", text});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(local(text) + ": Not a POI database: ")) << r.err.constData();
    EXPECT_TRUE(r.out.isEmpty());

    // A skipper claiming more bytes than the file holds: checked, warned, not fatal.
    const QString overlong = tmp.write("long.ov2", Ov2Bytes().skipper(21 + 16 + 1000, 9, 9, 0, 0).poi(1, 2, "ab"));
    r = runCli({"ov2", "check", overlong});
    EXPECT_EQ(r.code, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("warning\t1 skipper records claim more bytes than the file holds\n")) << r.out.constData();
    const QString fits = tmp.write("fits.ov2", Ov2Bytes().skipper(21 + 16, 9, 9, 0, 0).poi(1, 2, "ab"));
    r = runCli({"ov2", "check", fits});
    EXPECT_EQ(r.code, 0);
    EXPECT_FALSE(r.out.contains("warning")) << r.out.constData();
}
