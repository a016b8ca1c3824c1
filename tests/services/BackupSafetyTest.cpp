// SPDX-License-Identifier: GPL-3.0-or-later
// Backups and restores that meet what a real device folder holds: a second backup at
// the same moment, FIFOs, sockets, devices and links, a file still being written, names
// too long for a cabinet, a damaged archive, hostile names and a failing disk.
#include "platform/Error.h"
#include "services/Backup.h"
#include "services/CabFile.h"
#include "tests/services/CabFixtures.h"
#include "tests/support/FaultRun.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <atomic>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

namespace {
QByteArray noise(qsizetype size, quint32 seed)
{
    QByteArray b(size + 3, '\0');
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(b.data()), (size + 3) / 4);
    b.truncate(size);
    return b;
}

QString smallDevice(const TempFolder &t, const QString &name = QStringLiteral("dev"))
{
    t.write(name + QStringLiteral("/TTGO.BIF"), "[TomTomGo]\nDeviceSerialNumber=SAME01\n");
    t.write(name + QStringLiteral("/ttsystem"), noise(50000, 1));
    t.write(name + QStringLiteral("/Voices/a.chk"), "voice");
    return t.file(name);
}

// A socket file bound at `path`; the descriptor stays open for the test.
int boundSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || size_t(name.size()) >= sizeof addr.sun_path)
        return -1;
    std::memcpy(addr.sun_path, name.constData(), size_t(name.size()));
    return ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 ? fd : -1;
}

QStringList backupArgs(const QString &root, const QString &out)
{
    return {QStringLiteral("backup"), root, out};
}
} // namespace

TEST(BackupSafety, TwoBackupsStartedTogetherIntoOneFolderGetTwoArchives)
{
    TempFolder t;
    const QString root = smallDevice(t);
    const QString out = t.mkdir(QStringLiteral("out"));
    // Two devices with the same serial, backed up at once by two programs: a few rounds,
    // so that some start within one second.
    QStringList archives;
    for (int round = 0; round < 3; ++round) {
        QProcess one, two;
        for (QProcess *p : {&one, &two})
            p->start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), backupArgs(root, out));
        for (QProcess *p : {&one, &two}) {
            ASSERT_TRUE(p->waitForFinished(120000));
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
            const QString first = QString::fromUtf8(p->readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0);
            EXPECT_TRUE(first.endsWith(QLatin1String(".bak"))) << first.toStdString();
            EXPECT_FALSE(archives.contains(first)) << "two backups reported under " << first.toStdString();
            archives << first;
        }
    }
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 6);
    for (const QString &a : std::as_const(archives)) {
        EXPECT_EQ(storedNames(a), (QStringList{"TTGO.BIF", "\\Voices\\a.chk", "ttsystem"}));
        EXPECT_EQ(runTool(QStringLiteral("cabextract"), {QStringLiteral("-t"), a}).code, 0);
    }
}

TEST(BackupSafety, FifosSocketsDevicesAndLinksAreSkippedAndListed)
{
    TempFolder t;
    const QString root = smallDevice(t);
    t.write(QStringLiteral("outside/secret.txt"), "not on the device");
    t.write(QStringLiteral("outside/folder/more.txt"), "nor this");
    ASSERT_TRUE(makeFifo(root + QStringLiteral("/pipe")));
    const int socket = boundSocket(root + QStringLiteral("/Voices/sock"));
    ASSERT_GE(socket, 0);
    // A device node needs the right to make one; without it the rest is still checked.
    const bool device = ::mknod(QFile::encodeName(root + QStringLiteral("/null")).constData(), S_IFCHR | 0666,
                                makedev(1, 3)) == 0;
    ASSERT_TRUE(QFile::link(t.file(QStringLiteral("outside/secret.txt")), root + QStringLiteral("/secret")));
    ASSERT_TRUE(QFile::link(t.file(QStringLiteral("outside/folder")), root + QStringLiteral("/folder")));
    ASSERT_TRUE(QFile::link(t.file(QStringLiteral("nowhere")), root + QStringLiteral("/dangling")));

    FifoGuard guard({root + QStringLiteral("/pipe")});
    const QString out = t.file(QStringLiteral("out"));
    const CliRun r = runCli(backupArgs(root, out));
    ::close(socket);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(guard.hadToRelease());
    const QString text = QString::fromUtf8(r.out);
    const QString listed = text.section(QStringLiteral("Not backed up, not regular files (links are not followed): "), 1)
                               .section(QLatin1Char('\n'), 0, 0);
    QStringList skipped = listed.split(QStringLiteral(", "));
    skipped.sort();
    QStringList expected = {"Voices/sock", "dangling", "folder", "pipe", "secret"};
    if (device)
        expected << "null";
    expected.sort();
    EXPECT_EQ(skipped, expected) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Backup verified: 3 files"))) << text.toStdString();
    const QString archive = text.section(QLatin1Char('\n'), 0, 0);
    EXPECT_EQ(storedNames(archive), (QStringList{"TTGO.BIF", "\\Voices\\a.chk", "ttsystem"}));
}

TEST(BackupSafety, AFileThatGrowsWhileBackedUpIsNotCalledVerified)
{
    TempFolder t;
    const QString root = smallDevice(t);
    const QString log = t.write(QStringLiteral("dev/log.txt"), noise(200000, 5));
    const QString out = t.file(QStringLiteral("out"));
    TBackup b;
    b.Root = root;
    b.OutFolder = out;
    b.Serial = QStringLiteral("SAME01");
    // A real writer appends for as long as the backup runs.
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        QFile f(log);
        if (!f.open(QIODevice::Append))
            return;
        while (!stop) {
            f.write("line\n");
            f.flush();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    QString failure;
    try {
        b.Run();
    } catch (const KorvixError &e) {
        failure = e.message();
    }
    stop = true;
    writer.join();
    EXPECT_TRUE(failure.contains(log)) << failure.toStdString();
    EXPECT_TRUE(failure.contains(QStringLiteral("does not match the device"))) << failure.toStdString();
    EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(BackupSafety, ANameTooLongForACabinetIsLeftOutAndListed)
{
    TempFolder t;
    const QString root = smallDevice(t);
    // "\" + 200 + "\" + 54 bytes: one more than the readers hold.
    const QString folder = QString(200, QLatin1Char('d'));
    const QString tooLong = folder + QLatin1Char('/') + QString(54, QLatin1Char('f'));
    t.write(QStringLiteral("dev/") + tooLong, "long");
    t.write(QStringLiteral("dev/") + folder + QLatin1Char('/') + QString(53, QLatin1Char('f')), "fits");
    const CliRun r = runCli(backupArgs(root, t.file(QStringLiteral("out"))));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Not backed up, names too long for a cabinet: " + tooLong.toUtf8() + '\n'))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Backup verified: 4 files")) << r.out.toStdString();
    const QString archive = QString::fromUtf8(r.out).section(QLatin1Char('\n'), 0, 0);
    const ToolRun test = runTool(QStringLiteral("cabextract"), {QStringLiteral("-t"), archive});
    EXPECT_EQ(test.code, 0) << test.out.toStdString();
}

TEST(BackupSafety, RestoreGoesOnPastDamagedFilesAndReportsEachOfThem)
{
    TempFolder t;
    // Files of 1 MB close their folder: each large file's data stands apart.
    t.write(QStringLiteral("dev/TTGO.BIF"), "[TomTomGo]\n");
    t.write(QStringLiteral("dev/ttsystem"), "system");
    t.write(QStringLiteral("dev/a.bin"), noise(1000000, 1));
    t.write(QStringLiteral("dev/b.bin"), noise(1000000, 2));
    t.write(QStringLiteral("dev/c.txt"), "last");
    CliRun r = runCli(backupArgs(t.file(QStringLiteral("dev")), t.file(QStringLiteral("out"))));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString archive = QString::fromUtf8(r.out).section(QLatin1Char('\n'), 0, 0);
    QByteArray bytes = readAll(archive);
    // One byte in the middle of each large file's blocks.
    bytes[bytes.size() / 4] = char(bytes[bytes.size() / 4] ^ 0x55);
    bytes[bytes.size() * 3 / 4] = char(bytes[bytes.size() * 3 / 4] ^ 0x55);
    t.write(QStringLiteral("out/damaged.bak"), bytes);

    const QString into = t.mkdir(QStringLiteral("into"));
    r = runCli({QStringLiteral("restore"), t.file(QStringLiteral("out/damaged.bak")), into});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Can't unpack a.bin\n")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Can't unpack b.bin\n")) << r.err.toStdString();
    EXPECT_EQ(readAll(into + QStringLiteral("/c.txt")), "last");
    EXPECT_EQ(readAll(into + QStringLiteral("/TTGO.BIF")), "[TomTomGo]\n");
    EXPECT_FALSE(QFileInfo::exists(into + QStringLiteral("/a.bin")));
    EXPECT_TRUE(leftTemporaries(into).isEmpty());
}

TEST(BackupSafety, RestoreKeepsAnOldFileUntilTheNewOneIsWholeAndSyncsTheDeviceOnce)
{
    TempFolder t;
    const QString root = smallDevice(t);
    CliRun r = runCli(backupArgs(root, t.file(QStringLiteral("out"))));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString archive = QString::fromUtf8(r.out).section(QLatin1Char('\n'), 0, 0);
    const QString voice = t.write(QStringLiteral("dev/Voices/a.chk"), "changed voice");
    const QStringList restore = {QStringLiteral("restore"), archive, root, QStringLiteral("Voices/a.chk")};

    FaultRun failed = runCliWithFault(restore, {QStringLiteral("write"), 1, root, ENOSPC});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.contains("a.chk")) << failed.err.toStdString();
    EXPECT_EQ(readAll(voice), "changed voice");
    EXPECT_TRUE(leftTemporaries(root).isEmpty());

    FaultRun counted = runCliWithFault(restore, {QStringLiteral("syncfs"), 0, root});
    ASSERT_EQ(counted.code, 0) << counted.err.toStdString();
    EXPECT_EQ(counted.calls, 1);
    EXPECT_EQ(readAll(voice), "voice");
    t.write(QStringLiteral("dev/Voices/a.chk"), "changed again");
    FaultRun unsynced = runCliWithFault(restore, {QStringLiteral("syncfs"), 1, root});
    EXPECT_EQ(unsynced.code, 1);
    EXPECT_TRUE(unsynced.err.contains("Input/output error")) << unsynced.err.toStdString();
}

TEST(BackupSafety, DryRunShowsNamesWithControlCharactersEscaped)
{
    TempFolder t;
    const QString archive = t.write(QStringLiteral("odd.bak"), handMadeCabinet({{"\x1b]0;owned\x07title", "1"}, {"two\nlines", "22"}}));
    const CliRun r = runCli({QStringLiteral("restore"), archive, t.mkdir(QStringLiteral("dev")), QStringLiteral("--dry-run")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "new\t\\x1B]0;owned\\x07title\t1\nnew\ttwo\\nlines\t2\n");
}

TEST(BackupSafety, AFileThatChangesSizeAfterItWasPackedFailsTheBackupByName)
{
    for (const bool grows : {true, false}) {
        SCOPED_TRACE(grows ? "grows" : "shrinks");
        TempFolder t;
        const QString root = smallDevice(t);
        const QString file = t.write(QStringLiteral("dev/Maps/roads.dat"), noise(100000, 6));
        const QString out = t.file(QStringLiteral("out"));
        TBackup b;
        b.Root = root;
        b.OutFolder = out;
        // Packed at one size, at another when the backup is checked: bytes added after
        // the packed ones leave those the same, yet the device file is not what was stored.
        b.OnProgress = [&](const QString &phase, qint64 position, qint64) {
            if (phase != QLatin1String("Verifying...") || position != 0)
                return;
            QFile f(file);
            if (grows)
                ASSERT_TRUE(f.open(QIODevice::Append) && f.write("more") == 4);
            else
                ASSERT_TRUE(f.resize(50000));
        };
        QString failure;
        try {
            b.Run();
        } catch (const KorvixError &e) {
            failure = e.message();
        }
        EXPECT_TRUE(failure.contains(file)) << failure.toStdString();
        EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

TEST(BackupSafety, AFolderThatIsNoDeviceIsBackedUpOnlyWhenForced)
{
    TempFolder t;
    t.write(QStringLiteral("home/notes.txt"), "not a device");
    CliRun r = runCli({QStringLiteral("backup"), t.file(QStringLiteral("home")), t.file(QStringLiteral("out"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Not a device folder")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(t.file(QStringLiteral("out")))) << "nothing written";
    r = runCli({QStringLiteral("backup"), QStringLiteral("--force"), t.file(QStringLiteral("home")), t.file(QStringLiteral("out"))});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(QDir(t.file(QStringLiteral("out"))).entryList({QStringLiteral("*.bak")}, QDir::Files).isEmpty());
}
