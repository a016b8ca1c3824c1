// SPDX-License-Identifier: GPL-3.0-or-later
// Every writing command run with one system call failing at each point it is made:
// either the command succeeds with its complete new output, or it fails with a message
// naming the file and leaves the old output as it was. Never a temporary left behind.
#include "tests/cli/CliFixtures.h"
#include "tests/support/FaultRun.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Snapshot = QMap<QString, QByteArray>; // relative path -> bytes, every file below a folder

Snapshot snapshot(const QString &dir)
{
    Snapshot s;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        QByteArray bytes = readAll(it.filePath());
        // The encoder numbers every Ogg stream at random: an encoded file is known by its
        // size (one cut short differs).
        if (it.fileName().endsWith(QLatin1String(".ogg")) && bytes.startsWith("OggS\0"))
            bytes = "Ogg stream of " + QByteArray::number(bytes.size()) + " bytes";
        s.insert(QDir(dir).relativeFilePath(it.filePath()), bytes);
    }
    return s;
}

QStringList differences(const Snapshot &a, const Snapshot &b)
{
    QStringList out;
    for (auto it = a.cbegin(); it != a.cend(); ++it)
        if (!b.contains(it.key()) || b.value(it.key()) != it.value())
            out << it.key();
    for (auto it = b.cbegin(); it != b.cend(); ++it)
        if (!a.contains(it.key()))
            out << it.key();
    return out;
}

struct SaveCase {
    const char *name;
    // Puts the old output (and any input that must sit beside it) into `dir`; the arguments.
    std::function<QStringList(const QString &dir, const CliFixtures::Inputs &in)> stage;
    QByteArray input;
    // Several files, each replaced on its own: each is old or new after a failure.
    bool fileByFile = false;
    QStringList calls = {"write", "fsync", "fdatasync", "close", "rename", "open"};
};

QString copyInto(const QString &from, const QString &dir)
{
    const QString to = QDir(dir).filePath(QFileInfo(from).fileName());
    QFile::copy(from, to);
    return to;
}

void old(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    CliFixtures::writeFile(path, bytes);
}

class SaveFault : public ::testing::TestWithParam<int> {
};

const std::vector<SaveCase> &saveCases()
{
    static const std::vector<SaveCase> cases = {
        {"ov2_write",
         [](const QString &d, const CliFixtures::Inputs &) {
             old(d + "/o.ov2", "old list");
             return QStringList{"ov2", "write", d + "/o.ov2"};
         },
         CliFixtures::rows(3000, QStringLiteral("new"))},
        {"ov2_export_csv",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.csv", "old csv");
             return QStringList{"ov2", "export", "csv", in.ov2, d + "/o.csv"};
         }},
        {"ov2_export_asc",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.asc", "old asc");
             return QStringList{"ov2", "export", "asc", in.ov2, d + "/o.asc"};
         }},
        {"ov2_export_qcsv",
         [](const QString &d, const CliFixtures::Inputs &in) {
             return QStringList{"ov2", "export", "qcsv", in.ov2, d + "/o.csv"};
         }},
        {"itn_write",
         [](const QString &d, const CliFixtures::Inputs &) {
             old(d + "/route.itn", "old route");
             return QStringList{"itn", "write", d + "/route.itn"};
         },
         CliFixtures::rows(20, QStringLiteral("stop"))},
        {"itn_write_split_over_a_longer_set",
         [](const QString &d, const CliFixtures::Inputs &) {
             old(d + "/route.itn", "old part 0");
             for (int n = 1; n <= 4; ++n)
                 old(d + QStringLiteral("/route%1.itn").arg(n, 2, 10, QLatin1Char('0')), "old part " + QByteArray::number(n));
             return QStringList{"itn", "write", d + "/route.itn", "--split"};
         },
         CliFixtures::rows(100, QStringLiteral("stop")), false,
         {"write", "fsync", "fdatasync", "close", "rename", "open", "link"}},
        {"chk_pack",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/v.chk", "old container");
             return QStringList{"chk", "pack", in.phrases, d + "/v.chk"};
         }},
        {"chk_unpack",
         [](const QString &d, const CliFixtures::Inputs &in) {
             for (int k = 1; k <= 59; ++k)
                 old(d + QStringLiteral("/tmp%1.ogg").arg(k, 2, 10, QLatin1Char('0')), "old phrase " + QByteArray::number(k));
             return QStringList{"chk", "unpack", in.chk, d};
         },
         {}, true},
        {"clr_save",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.clr", "old scheme");
             return QStringList{"clr", "save", in.clr, d + "/o.clr"};
         }},
        {"clr_preview",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.png", "old preview");
             return QStringList{"clr", "preview", in.clr, d + "/o.png"};
         }},
        {"hex_exe",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/in.txt", "old hex");
             return QStringList{"hex", "exe", copyInto(in.ov2, d)};
         }},
        {"hex_bin",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/in.txt", "old hex");
             return QStringList{"hex", "bin", copyInto(in.ov2, d)};
         }},
        {"image_startup",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/splash.bmp", "old picture");
             return QStringList{"image", "startup", in.png, d + "/splash.bmp"};
         }},
        {"sound_convert_wav",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.wav", "old wave");
             return QStringList{"sound", "convert", in.wav, d + "/o.wav"};
         }},
        {"sound_convert_ogg",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.ogg", "old ogg");
             return QStringList{"sound", "convert", in.wav, d + "/o.ogg"};
         }},
        {"sound_normalize",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.wav", "old wave");
             return QStringList{"sound", "normalize", in.wav, d + "/o.wav"};
         }},
        {"convert_gpx",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.gpx", "old gpx");
             return QStringList{"convert", in.ov2, d + "/o.gpx"};
         }},
        {"convert_kml",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.kml", "old kml");
             return QStringList{"convert", in.ov2, d + "/o.kml"};
         }},
        {"convert_csv",
         [](const QString &d, const CliFixtures::Inputs &in) {
             old(d + "/o.csv", "old csv");
             return QStringList{"convert", in.ov2, d + "/o.csv"};
         }},
        {"sample_device",
         [](const QString &d, const CliFixtures::Inputs &) {
             old(d + "/dev/TTGO.BIF", "old identity");
             old(d + "/dev/sounds/Beep.wav", "old beep");
             old(d + "/dev/sounds/Ding.ogg", "old ding");
             old(d + "/dev/Sample_Map/Fotoradary.ogg", "old camera sound");
             old(d + "/dev/Itn/Krakow.itn", "old route");
             return QStringList{"sample-device", "--force", d + "/dev"};
         },
         {}, true},
    };
    return cases;
}

std::string caseName(const ::testing::TestParamInfo<int> &info)
{
    return saveCases()[size_t(info.param)].name;
}

} // namespace

TEST_P(SaveFault, OldOutputOrCompleteNewOutputNeverATemporary)
{
    const SaveCase &c = saveCases()[size_t(GetParam())];
    TempFolder tmp;
    const CliFixtures::Inputs in = CliFixtures::makeInputs(tmp.file("inputs"));

    // The new output, from a run that nothing disturbs.
    const QString clean = tmp.mkdir("clean");
    const QStringList cleanArgs = c.stage(clean, in);
    const Snapshot before = snapshot(clean);
    const CliRun ok = runCli(cleanArgs, c.input);
    ASSERT_EQ(ok.code, 0) << ok.err.toStdString();
    const Snapshot fresh = snapshot(clean);
    const QStringList changed = differences(before, fresh);
    ASSERT_FALSE(changed.isEmpty()) << "the command wrote nothing new";

    int run = 0;
    int failures = 0;
    for (const QString &call : c.calls) {
        const QString countDir = tmp.mkdir(QStringLiteral("count-%1").arg(call));
        const QStringList countArgs = c.stage(countDir, in);
        const FaultRun counted = runCliWithFault(countArgs, FaultPlan{call, 0, countDir}, c.input);
        ASSERT_EQ(counted.code, 0) << call.toStdString() << ": " << counted.err.toStdString();
        ASSERT_GE(counted.calls, 0) << "the fault library reported no count";
        for (long nth : faultPoints(counted.calls)) {
            const QString dir = tmp.mkdir(QStringLiteral("run-%1").arg(++run));
            const QStringList args = c.stage(dir, in);
            const Snapshot old = snapshot(dir);
            const FaultRun r = runCliWithFault(args, FaultPlan{call, nth, dir}, c.input);
            SCOPED_TRACE(QStringLiteral("%1 failing at call %2 of %3").arg(call).arg(nth).arg(counted.calls).toStdString());
            EXPECT_TRUE(leftTemporaries(dir).isEmpty()) << leftTemporaries(dir).join(u' ').toStdString();
            const Snapshot after = snapshot(dir);
            ASSERT_TRUE(r.code == 0 || r.code == 1) << r.code << " " << r.err.toStdString();
            if (r.code == 0) {
                EXPECT_TRUE(differences(after, fresh).isEmpty()) << differences(after, fresh).join(u' ').toStdString();
                continue;
            }
            ++failures;
            // The message names the file (or the folder) the failure is about.
            bool named = r.err.contains(dir.toUtf8());
            for (const QString &f : changed)
                named = named || r.err.contains(QFileInfo(f).fileName().toUtf8());
            EXPECT_TRUE(named) << r.err.toStdString();
            if (!c.fileByFile) {
                // The old output as it was; or, when only the folder's sync after the
                // rename failed, the whole new output (reported, as it may not last).
                EXPECT_TRUE(differences(after, old).isEmpty() || differences(after, fresh).isEmpty())
                    << "changed: " << differences(after, old).join(u' ').toStdString() << "; " << r.err.toStdString();
                continue;
            }
            // Replaced one by one: each file is its old or its new self, none half written.
            for (const QString &f : changed) {
                const bool isOld = after.value(f) == old.value(f) && after.contains(f) == old.contains(f);
                const bool isNew = after.value(f) == fresh.value(f) && after.contains(f) == fresh.contains(f);
                EXPECT_TRUE(isOld || isNew) << f.toStdString() << ": " << r.err.toStdString();
            }
            for (const QString &f : after.keys())
                EXPECT_TRUE(old.contains(f) || fresh.contains(f)) << "a stray file " << f.toStdString();
        }
    }
    // Failing some call must make some run fail, or the sweep tested nothing.
    EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(WritingCommands, SaveFault, ::testing::Range(0, int(saveCases().size())), caseName);


TEST(SplitItinerarySave, ReplacesALongerOldSetWhole)
{
    TempFolder tmp;
    for (int n = 0; n <= 4; ++n)
        old(tmp.file(n ? QStringLiteral("route%1.itn").arg(n, 2, 10, QLatin1Char('0')) : QStringLiteral("route.itn")),
            "old part " + QByteArray::number(n));
    old(tmp.file("other05.itn"), "another route");
    // 100 points: three parts of at most 48.
    const CliRun r = runCli({"itn", "write", tmp.file("route.itn"), "--split"}, CliFixtures::rows(100, QStringLiteral("stop")));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({"other05.itn", "route.itn", "route01.itn", "route02.itn"}));
    EXPECT_TRUE(readAll(tmp.file("route02.itn")).contains("stop 99"));
    // A set of one part leaves no old part either.
    const CliRun one = runCli({"itn", "write", tmp.file("route.itn"), "--split"}, CliFixtures::rows(3, QStringLiteral("one")));
    ASSERT_EQ(one.code, 0) << one.err.toStdString();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), QStringList({"other05.itn", "route.itn"}));
}

TEST(SplitItinerarySave, ASetOfSixHundredPartsFitsTheUsualDescriptorLimit)
{
    // 1024 descriptors is the common default: a part may not keep two of them open.
    TempFolder tmp;
    const QString rows = tmp.file("rows.tsv");
    CliFixtures::writeFile(rows, CliFixtures::rows(48 * 600, QStringLiteral("p")));
    QProcess p;
    p.start(QStringLiteral("sh"), {"-c", "ulimit -n 1024 && exec \"$0\" itn write \"$1\" --split < \"$2\"",
                                   QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), tmp.file("long.itn"), rows});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(tmp.file("long599.itn")));
    EXPECT_TRUE(leftTemporaries(tmp.path()).isEmpty());
}

TEST(StandardOutput, OutputLostOnAFullDeviceFailsTheCommand)
{
    TempFolder tmp;
    const CliFixtures::Inputs in = CliFixtures::makeInputs(tmp.path());
    for (const QStringList &args : QList<QStringList>{{"ov2", "dump", in.ov2},
                                                      {"ov2", "check", in.ov2},
                                                      {"dedup", in.ov2, "10"},
                                                      {"itn", "dump", in.itn},
                                                      {"clr", "dump", in.clr},
                                                      {"sound", "info", in.wav}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        QProcess p;
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), args);
        ASSERT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 1);
        const QByteArray message = p.readAllStandardError();
        EXPECT_TRUE(message.startsWith("standard output: ")) << message.toStdString();
        // The dumps write their bytes themselves and keep the system's reason.
        if (args[1] == QLatin1String("dump") || args[0] == QLatin1String("dedup"))
            EXPECT_EQ(message, "standard output: No space left on device\n");
    }
}
