// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/RecoveryFile.h"

#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Recovery;

namespace {

struct Sample {
    Header header;
    std::vector<QStringList> rows;
    std::vector<Mark> marks;

    Sample()
    {
        header.kind = DocumentKind::Itinerary;
        header.fileName = QStringLiteral("/media/ann/DEV/itn/Trip \"x\".itn");
        header.device = QStringLiteral("/media/ann/DEV");
        header.time = QDateTime::fromMSecsSinceEpoch(1765350000123, Qt::UTC);
        header.instance = QStringLiteral("4242-1765350000000");
        rows = {
            {"LP", "Longitude", "Latitude", "Name", "Flag"},
            {"1", "1999000", "5000000", "Kraków — Rynek", "4"},
            // A lone surrogate and an empty field survive as they are.
            {"2", "-100", "", QString(QChar(0xD800)) + "x", ""},
            {"3", "7"}, // a short row stays short
            {"4", "1", "2", QString::fromUtf8("\xc3\xbf Latin-1 only"), "2"},
        };
        marks = {{1, 0, 0x80}, {1, 3, 0x80}, {4, 2, 0x3F0}};
    }
    QByteArray bytes() const
    {
        return encode(header, 5, int(rows.size()), rowSource(), marks);
    }
    RowSource rowSource() const
    {
        return [this](int r, std::vector<QStringView> &fields) {
            for (const QString &f : rows[size_t(r)])
                fields.push_back(f);
        };
    }
};

} // namespace

TEST(RecoveryFile, KeepsEveryTextMarkAndRowOrderExactly)
{
    const Sample s;
    TempFolder tmp;
    const QString path = tmp.file("a.krec");
    ASSERT_TRUE(write(path, s.header, 5, int(s.rows.size()), s.rowSource(), s.marks).isEmpty());
    QString error;
    const std::optional<Document> d = read(path, &error);
    ASSERT_TRUE(d) << error.toStdString();
    EXPECT_EQ(d->header.kind, DocumentKind::Itinerary);
    EXPECT_EQ(d->header.fileName, s.header.fileName);
    EXPECT_EQ(d->header.device, s.header.device);
    EXPECT_EQ(d->header.time, s.header.time);
    EXPECT_EQ(d->header.instance, s.header.instance);
    EXPECT_EQ(d->colCount, 5);
    ASSERT_EQ(d->rows.size(), s.rows.size());
    for (size_t r = 0; r < s.rows.size(); ++r)
        EXPECT_EQ(d->rows[r], s.rows[r]) << r;
    ASSERT_EQ(d->marks.size(), s.marks.size());
    for (size_t i = 0; i < s.marks.size(); ++i) {
        EXPECT_EQ(d->marks[i].row, s.marks[i].row);
        EXPECT_EQ(d->marks[i].col, s.marks[i].col);
        EXPECT_EQ(d->marks[i].flags, s.marks[i].flags);
    }
    // Written through the shared save: no temporary is left beside it.
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.krec"});
}

TEST(RecoveryFile, CutOrDamagedFilesAreRefusedWithAReason)
{
    const QByteArray good = Sample().bytes();
    ASSERT_TRUE(decode(good, nullptr));
    // Cut at every length: refused, never read past the end.
    for (qsizetype n = 0; n < good.size(); ++n) {
        QString reason;
        EXPECT_FALSE(decode(good.left(n), &reason)) << n;
        EXPECT_FALSE(reason.isEmpty()) << n;
    }
    // One byte more is damage too.
    EXPECT_FALSE(decode(good + 'x', nullptr));
    // Every single byte changed: either refused or read into something, never a crash.
    for (qsizetype i = 0; i < good.size(); ++i) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0xFF);
        (void)decode(bad, nullptr);
    }
    // Counts far beyond the bytes: refused before anything is reserved.
    QByteArray huge = good;
    const qsizetype rowCountAt = good.indexOf(QByteArray::fromRawData("\x05\x00\x00\x00\x05\x00\x00\x00", 8)) + 4;
    ASSERT_GT(rowCountAt, 4);
    huge[rowCountAt + 3] = char(0x7F);
    EXPECT_FALSE(decode(huge, nullptr));
    QRandomGenerator rng(7);
    for (int i = 0; i < 200; ++i) {
        QByteArray noise(int(rng.bounded(2000)), Qt::Uninitialized);
        for (char &c : noise)
            c = char(rng.bounded(256));
        if (i % 2)
            noise.prepend(good.left(12)); // past the magic and version
        EXPECT_FALSE(decode(noise, nullptr));
    }
}

TEST(RecoveryFile, ReadsOnlyRegularFilesAndNamesTheFile)
{
    TempFolder tmp;
    QString error;
    EXPECT_FALSE(read(tmp.write("x.krec", "KVXRECOV\x01"), &error));
    EXPECT_TRUE(error.contains(tmp.file("x.krec"))) << error.toStdString();
    // A FIFO with no writer is refused at once instead of blocking the start.
    const QString fifo = tmp.file("f.krec");
    ASSERT_EQ(QProcess::execute("mkfifo", {fifo}), 0);
    EXPECT_FALSE(read(fifo, &error));
    EXPECT_TRUE(error.contains("Not a regular file")) << error.toStdString();
}

TEST(RecoveryScan, TakesOnlyTheFilesOfEndedRunsAndSetsGarbageAside)
{
    TempFolder tmp;
    const QString dir = tmp.path() + "/";
    const Sample s;
    // This run's own file, a living run's file, an ended run's files and garbage.
    tmp.write("1-10-1.krec", s.bytes());
    tmp.write("2-20-1.krec", s.bytes());
    tmp.write("3-30-1.krec", s.bytes());
    tmp.write("3-30-2.krec", s.bytes().left(40));
    InstanceLock own(dir, "1-10");
    ASSERT_TRUE(own.tryTake());
    InstanceLock living(dir, "2-20");
    ASSERT_TRUE(living.tryTake());

    Scan found = scan(dir, "1-10");
    ASSERT_EQ(found.files.size(), 1u);
    EXPECT_EQ(found.files[0].path, dir + "3-30-1.krec");
    EXPECT_EQ(found.files[0].document.rows, s.rows);
    ASSERT_EQ(found.problems.size(), 1);
    EXPECT_TRUE(found.problems[0].contains("3-30-2.krec")) << found.problems[0].toStdString();
    EXPECT_TRUE(QFile::exists(dir + "3-30-2.krec.bad"));
    // The ended run is held while the user answers: another start stays away.
    EXPECT_TRUE(scan(dir, "4-40").files.empty());
    EXPECT_TRUE(QFile::exists(dir + "1-10-1.krec"));
    EXPECT_TRUE(QFile::exists(dir + "2-20-1.krec"));
    // Let go (Later), the file is found again by the next start; the garbage is not told twice.
    found.locks.clear();
    const Scan again = scan(dir, "4-40");
    EXPECT_EQ(again.files.size(), 1u);
    EXPECT_TRUE(again.problems.isEmpty());
    // A living run's lock stays.
    EXPECT_TRUE(QFile::exists(dir + "2-20.lock"));
}

TEST(RecoveryScan, EveryRunHasANameOfItsOwn)
{
    QStringList names;
    for (int i = 0; i < 50; ++i)
        names << newInstanceName();
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 50);
    EXPECT_TRUE(names[0].startsWith(QString::number(QCoreApplication::applicationPid()) + "-"));
    EXPECT_EQ(instanceOfFile("/x/" + names[0] + "-3.krec"), names[0]);
}
