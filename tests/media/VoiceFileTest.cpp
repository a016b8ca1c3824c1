// SPDX-License-Identifier: GPL-3.0-or-later
// Voice containers, information files and pictures, headless.
#include "media/ImgFile.h"
#include "media/VoiceChk.h"
#include "media/VoiceFile.h"
#include "media/VoiceTables.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "tests/media/VoiceFixtures.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace VoiceFixtures;
using VoiceChk::PhraseState;

namespace {

// A container of hand-made records, each given as its bytes after the header.
QByteArray container(const std::vector<QByteArray> &records)
{
    const quint32 n = quint32(records.size());
    QByteArray out = word(n);
    quint32 offset = (n + 2) * 4;
    for (const QByteArray &r : records) {
        out += word(offset);
        offset += quint32(r.size());
    }
    out += word(offset);
    for (const QByteArray &r : records)
        out += r;
    return out;
}

QByteArray record(const QByteArray &ogg, quint32 one = 1, quint32 eight = 8, qint64 lengthOverride = -1)
{
    const int size = (16 + int(ogg.size()) + 3) / 4 * 4;
    QByteArray r(2, '\0');
    r += char((size / 4 - 1) >> 8);
    r += char((size / 4 - 1) & 0xFF);
    r += word(one) + word(eight) + word(quint32(lengthOverride < 0 ? ogg.size() : lengthOverride)) + ogg;
    r.resize(size, '\0');
    return r;
}

std::vector<quint32> headerOf(const QByteArray &chk)
{
    QBuffer b;
    b.setData(chk);
    b.open(QIODevice::ReadOnly);
    return VoiceChk::GetCHKHeader(b);
}

bool ogg(const QByteArray &chk, int k, QByteArray &out)
{
    QBuffer b;
    b.setData(chk);
    b.open(QIODevice::ReadOnly);
    return VoiceChk::GetOgg(b, VoiceChk::GetCHKHeader(b), k, out);
}

const DeviceCodec cp1250;

} // namespace

TEST(VoiceTables, PhrasesListsAndCodesAreThoseOfTheDevice)
{
    EXPECT_STREQ(VoiceTables::phrase(1).file, "After.ogg");
    EXPECT_STREQ(VoiceTables::phrase(14).file, "TurnRight.ogg");
    EXPECT_STREQ(VoiceTables::phrase(57).file, "TurnLeft.ogg");
    EXPECT_STREQ(VoiceTables::phrase(58).file, "UTurn.ogg");
    EXPECT_STREQ(VoiceTables::phrase(59).file, "Yards.ogg");
    EXPECT_EQ(VoiceTables::phraseDescription(13), "You have reached your destination");
    EXPECT_EQ(VoiceTables::phraseDescription(36), "Take the motorway");
    EXPECT_EQ(VoiceTables::phraseSpeech(31), "Depart");
    QStringList files;
    for (int k = 1; k <= VoiceTables::PhraseCount; ++k) {
        files << QString::fromLatin1(VoiceTables::phrase(k).file);
        EXPECT_FALSE(VoiceTables::phraseDescription(k).isEmpty()) << k;
        EXPECT_FALSE(VoiceTables::phraseSpeech(k).contains(QLatin1Char('('))) << k;
    }
    EXPECT_EQ(files.removeDuplicates(), 0);

    EXPECT_EQ(VoiceTables::genders(), (QStringList{"Young", "Female", "Male"}));
    const QStringList languages = VoiceTables::languages();
    ASSERT_EQ(languages.size(), 175);
    EXPECT_EQ(languages[0], "English");
    EXPECT_EQ(languages[24], "Traditional Chinese");
    EXPECT_EQ(languages[25], "25");   // codes without a name are the bare number
    EXPECT_EQ(languages[101], "French (Canada)");
    EXPECT_EQ(languages[116], "116");
    EXPECT_EQ(languages[174], "English (New Zealand)");
    const QStringList flags = VoiceTables::flags();
    ASSERT_EQ(flags.size(), 126);
    EXPECT_EQ(flags[0], "Austria");
    EXPECT_EQ(flags[16], "116");
    EXPECT_EQ(flags[100], "Polish");
    EXPECT_EQ(flags[124], "224");
    EXPECT_EQ(flags[125], "South African");
    EXPECT_EQ(VoiceChk::PhraseFileName(1), "tmp01.ogg");
    EXPECT_EQ(VoiceChk::PhraseFileName(59), "tmp59.ogg");
}

TEST(VoiceChk, HeaderIsAcceptedOnlyWhenItDescribesTheFile)
{
    // N = 0 and a file of 8 bytes: an empty voice.
    EXPECT_EQ(headerOf(word(0) + word(8)), (std::vector<quint32>{0, 8}));
    const QByteArray good = container({record("abcd")});
    EXPECT_EQ(headerOf(good), (std::vector<quint32>{1, 12, 32}));
    QByteArray firstOffset = good;
    firstOffset.replace(4, 4, word(16));
    EXPECT_TRUE(headerOf(firstOffset).empty());
    QByteArray lastOffset = good;
    lastOffset.replace(8, 4, word(36));
    EXPECT_TRUE(headerOf(lastOffset).empty());
    EXPECT_TRUE(headerOf(good + "xxxx").empty());
    // 200 phrases are refused even with a consistent header.
    QByteArray many = word(200) + word(808);
    for (int i = 0; i < 200; ++i)
        many += word(808);
    EXPECT_TRUE(headerOf(many).empty());
    EXPECT_TRUE(headerOf(word(3) + word(20)).empty());   // cut short
    EXPECT_TRUE(headerOf(QByteArray("\0\0", 2)).empty());
}

TEST(VoiceChk, DamagedRecordsAreRefusedOneByOne)
{
    const QByteArray a("OggS-first"), b("OggS-second"), c("OggS-third!");
    // Words 1 and 8 swapped in the second record only.
    const QByteArray swapped = container({record(a), record(b, 8, 1), record(c)});
    QByteArray out;
    EXPECT_TRUE(ogg(swapped, 1, out));
    EXPECT_EQ(out, a);
    EXPECT_FALSE(ogg(swapped, 2, out));
    EXPECT_TRUE(ogg(swapped, 3, out));
    EXPECT_EQ(out, c);

    // L larger than the record: the data would run into the next record.
    const QByteArray tooLong = container({record(a, 1, 8, 40), record(b)});
    EXPECT_FALSE(ogg(tooLong, 1, out));
    EXPECT_TRUE(ogg(tooLong, 2, out));

    // L fits the record but the record header does not leave room for it: with a
    // record of 28 bytes, L = 20 passes "L <= room" yet 16 + 20 bytes run 8 bytes
    // into the next record.
    QByteArray r = record(QByteArray(12, 'x'));   // 28 bytes, length field 6
    r.replace(12, 4, word(20));
    const QByteArray overlap = container({r, record(b)});
    EXPECT_FALSE(ogg(overlap, 1, out));
    EXPECT_TRUE(ogg(overlap, 2, out));
    // ... and of the last record into the end of the file.
    const QByteArray pastEnd = container({record(a), r});
    EXPECT_TRUE(ogg(pastEnd, 1, out));
    EXPECT_FALSE(ogg(pastEnd, 2, out));

    // A length field too small for L.
    QByteArray small = record(a);
    small[3] = char(2);   // 2 * 4 = 8 <= L = 10
    EXPECT_FALSE(ogg(container({small}), 1, out));

    // Offsets out of order and phrase numbers outside 1..N.
    QByteArray disorder = container({record(a), record(b)});
    disorder.replace(8, 4, word(12));   // start(2) = start(1)
    EXPECT_FALSE(ogg(disorder, 1, out));
    EXPECT_FALSE(ogg(swapped, 0, out));
    EXPECT_FALSE(ogg(swapped, 4, out));
}

TEST(VoiceChk, ContainerRecordsArePaddedToFourBytes)
{
    const QByteArray chk = VoiceChk::BuildChk({QByteArray("x"), QByteArray("1234")});
    // Header 16 bytes, a 20-byte record (16 + 1 + 3 zeros) whose length field is 4,
    // then a 20-byte record for 4 bytes.
    ASSERT_EQ(chk.size(), 56);
    EXPECT_EQ(chk.left(16), word(2) + word(16) + word(36) + word(56));
    EXPECT_EQ(chk.mid(16, 20), QByteArray("\0\0\0\x04", 4) + word(1) + word(8) + word(1) + QByteArray("x\0\0\0", 4));
    EXPECT_EQ(chk.mid(36, 4), QByteArray("\0\0\0\x04", 4));
    QByteArray out;
    EXPECT_TRUE(ogg(chk, 1, out));
    EXPECT_EQ(out, "x");
    EXPECT_TRUE(ogg(chk, 2, out));
    EXPECT_EQ(out, "1234");

    // The largest phrase a record holds, and one byte more.
    const QByteArray largest = VoiceChk::BuildChk({QByteArray(VoiceChk::MaxOggBytes, 'a')});
    EXPECT_EQ(largest.mid(12, 4), QByteArray("\0\0\xFF\xFF", 4));
    EXPECT_TRUE(ogg(largest, 1, out));
    EXPECT_EQ(out.size(), VoiceChk::MaxOggBytes);
    try {
        VoiceChk::BuildChk({QByteArray("a"), QByteArray(VoiceChk::MaxOggBytes + 1, 'a')});
        ADD_FAILURE() << "a phrase too long for its record was packed";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().startsWith("Phrase 2 (tmp02.ogg)")) << e.message().toStdString();
    }
}

class VoiceSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!oggToolsInstalled() || realPhrases().size() != 59)
            GTEST_SKIP() << "vorbis-tools are not installed";
        phrases = tmp.mkdir("phrases") + "/";
        writePhraseFiles(phrases);
        vif.name = "Anna";
        vif.gender = 1;
        vif.language = 13;
        vif.flag = 100;
        voice = tmp.mkdir("Voices") + "/Anna.vif";
    }
    void save() { VoiceFile::SaveVoice(voice, phrases, vif, VoiceFile::blankPicture(), cp1250); }
    // The three files' bytes, for "nothing changed".
    QList<QByteArray> files() const
    {
        return {readAll(VoiceFile::withExtension(voice, ".chk")), readAll(voice),
                readAll(VoiceFile::withExtension(voice, ".bmp"))};
    }

    TempFolder tmp;
    QString phrases, voice;
    VoiceFile::VifData vif;
};

TEST_F(VoiceSave, SavedAndReopenedPhrasesAreByteIdentical)
{
    save();
    const QString back = tmp.file("back/");
    const VoiceChk::UnpackResult r = VoiceChk::Unpack(VoiceFile::withExtension(voice, ".chk"), back, true);
    ASSERT_TRUE(r.headerOk);
    EXPECT_EQ(r.count, 59);
    for (int k = 1; k <= 59; ++k) {
        EXPECT_EQ(r.states[size_t(k - 1)], PhraseState::Held) << k;
        EXPECT_EQ(readAll(VoiceChk::PhraseFile(back, k)), realPhrases()[size_t(k - 1)]) << k;
    }
    EXPECT_EQ(readAll(voice), "Anna\r\nAnna.chk\r\nAnna\r\n1\r\n13\r\n200\r\n");
    const QImage bmp(VoiceFile::withExtension(voice, ".bmp"));
    EXPECT_EQ(bmp.size(), QSize(160, 160));
    EXPECT_EQ(ImgFile::bitmapBitsPerPixel(readAll(VoiceFile::withExtension(voice, ".bmp"))), 24);
}

TEST_F(VoiceSave, MissingOrTooLongPhraseChangesNoneOfTheThreeFiles)
{
    save();
    const QList<QByteArray> before = files();
    vif.name = "Changed";
    QFile::remove(VoiceChk::PhraseFile(phrases, 12));
    try {
        save();
        ADD_FAILURE() << "a voice without phrase 12 was saved";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().startsWith("Phrase 12 (tmp12.ogg)")) << e.message().toStdString();
    }
    EXPECT_EQ(files(), before);

    QFile big(VoiceChk::PhraseFile(phrases, 12));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(VoiceChk::MaxOggBytes + 1, 'o'));
    big.close();
    try {
        save();
        ADD_FAILURE() << "a phrase too long for its record was saved";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().contains("tmp12.ogg")) << e.message().toStdString();
    }
    EXPECT_EQ(files(), before);
}

TEST_F(VoiceSave, OpeningRemovesThePhrasesTheContainerDoesNotHold)
{
    // The phrase folder still holds the 59 phrases of a voice opened earlier.
    const QString three = tmp.write("three.chk", container({record("one"), record("two", 8, 1), record("three")}));
    const VoiceChk::UnpackResult r = VoiceChk::Unpack(three, phrases, true);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.states[0], PhraseState::Held);
    EXPECT_EQ(r.states[1], PhraseState::Damaged);
    EXPECT_EQ(r.states[2], PhraseState::Held);
    EXPECT_EQ(r.states[3], PhraseState::Missing);
    EXPECT_EQ(readAll(VoiceChk::PhraseFile(phrases, 1)), "one");
    for (int k : {2, 4, 30, 59})
        EXPECT_FALSE(QFileInfo::exists(VoiceChk::PhraseFile(phrases, k))) << k;
    // So a save refuses instead of packing another voice's phrase 4.
    EXPECT_THROW(save(), KorvixError);

    writePhraseFiles(phrases);
    const QString broken = tmp.write("broken.chk", word(1) + word(16) + word(99));
    const VoiceChk::UnpackResult failed = VoiceChk::Unpack(broken, phrases, true);
    EXPECT_FALSE(failed.headerOk);
    for (int k = 1; k <= 59; ++k)
        EXPECT_FALSE(QFileInfo::exists(VoiceChk::PhraseFile(phrases, k))) << k;
}

TEST(VoiceChk, HostileContainersGiveDamagedRowsOrAMessage)
{
    TempFolder tmp;
    const QString phrases = tmp.file("Voices/");
    // N = 199 whose offsets point past the end; only the last one is the file size.
    QByteArray hostile = word(199) + word(804);
    for (int k = 2; k <= 199; ++k)
        hostile += word(0x7FFFFFF0u + quint32(k));
    hostile += word(804 + 16);
    hostile += record(QByteArray(), 8, 1);
    const VoiceChk::UnpackResult r = VoiceChk::Unpack(tmp.write("n199.chk", hostile), phrases, true);
    ASSERT_TRUE(r.headerOk);
    EXPECT_EQ(r.states.size(), 199u);
    for (int k = 1; k <= 199; ++k)
        EXPECT_EQ(r.states[size_t(k - 1)], PhraseState::Damaged) << k;
    EXPECT_EQ(QDir(phrases).entryList(QDir::Files), QStringList());

    // A 4 GB sparse file whose header would be right for its low 32 bits.
    QFile sparse(tmp.file("sparse.chk"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    sparse.write(word(0) + word(8));
    ASSERT_TRUE(sparse.resize((qint64(1) << 32) + 8));
    sparse.close();
    try {
        VoiceChk::Unpack(sparse.fileName(), phrases, true);
        ADD_FAILURE() << "a container beyond the cap was read";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), "The file is too large: " + sparse.fileName());
    }

    // A phrase folder that cannot be made: a file stands where it should be.
    tmp.write("blocked", "file");
    EXPECT_THROW(VoiceChk::Unpack(tmp.write("ok.chk", container({record("a")})), tmp.file("blocked/Voices/"), true),
                 KorvixError);
    EXPECT_THROW(VoiceChk::Unpack(tmp.file("none.chk"), phrases, true), KorvixError);
    EXPECT_THROW(VoiceChk::Unpack(tmp.path(), phrases, true), KorvixError);
}

TEST(VoiceVif, LinesAreReadWithEitherLineEnd)
{
    const QByteArray crlf("Name1\r\nvoice.chk\r\n Name3 \r\n2\r\n13\r\n200\r\n");
    const VoiceFile::VifData a = VoiceFile::ParseVIF(crlf, cp1250);
    EXPECT_EQ(a.name, "Name3");
    EXPECT_EQ(a.container, "voice.chk");
    EXPECT_EQ(a.gender, 2);
    EXPECT_EQ(a.language, 13);
    EXPECT_EQ(a.flag, 100);
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    const VoiceFile::VifData b = VoiceFile::ParseVIF(lf, cp1250);
    EXPECT_EQ(b.name, a.name);
    EXPECT_EQ(b.container, a.container);
    EXPECT_EQ(b.gender, a.gender);
    EXPECT_EQ(b.language, a.language);
    EXPECT_EQ(b.flag, a.flag);
}

TEST(VoiceVif, ALineBreakInsideALineLeavesNoBlankThatTheNextReadWouldLose)
{
    const VoiceFile::VifData vif = VoiceFile::ParseVIF("x\r\nv.chk \n\r\n\n Jan\r\n1\r\n", cp1250);
    EXPECT_EQ(vif.name, "Jan");
    EXPECT_EQ(vif.container, "v.chk");
    EXPECT_EQ(VoiceFile::ParseVIF(VoiceFile::VifBytes(vif, "v.vif", cp1250), cp1250).name, vif.name);
}

TEST(VoiceVif, MissingEmptyAndForeignValuesSelectNothing)
{
    // Line 3 empty: the name is line 1; fewer than six lines: the rest unselected.
    const VoiceFile::VifData shortFile = VoiceFile::ParseVIF("Jan\r\nx.chk\r\n\r\n1\r\n", cp1250);
    EXPECT_EQ(shortFile.name, "Jan");
    EXPECT_EQ(shortFile.gender, 1);
    EXPECT_EQ(shortFile.language, -1);
    EXPECT_EQ(shortFile.flag, -1);
    // Not numbers, outside the lists, and the "no flag" code.
    const VoiceFile::VifData foreign = VoiceFile::ParseVIF("A\r\nA.chk\r\nA\r\nmale\r\n175\r\n99\r\n", cp1250);
    EXPECT_EQ(foreign.gender, -1);
    EXPECT_EQ(foreign.language, -1);
    EXPECT_EQ(foreign.flag, -1);
    const VoiceFile::VifData edges = VoiceFile::ParseVIF("A\r\nA.chk\r\nA\r\n3\r\n174\r\n225\r\n", cp1250);
    EXPECT_EQ(edges.gender, -1);
    EXPECT_EQ(edges.language, 174);
    EXPECT_EQ(edges.flag, 125);
    // Binary garbage is read as lines of whatever it holds.
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131 + 7) & 0xFF);
    const VoiceFile::VifData g = VoiceFile::ParseVIF(garbage, cp1250);
    EXPECT_EQ(g.gender, -1);
}

TEST(VoiceVif, SavedWithoutSelectionsReadsBackUnselected)
{
    VoiceFile::VifData vif;
    vif.name = QString::fromUtf8("Łucja");
    const QByteArray bytes = VoiceFile::VifBytes(vif, "/dev/Voices/Lucja.VIF", cp1250);
    EXPECT_EQ(bytes, QByteArray("\xA3ucja\r\nLucja.chk\r\n\xA3ucja\r\n-1\r\n-1\r\n99\r\n"));
    const VoiceFile::VifData back = VoiceFile::ParseVIF(bytes, cp1250);
    EXPECT_EQ(back.name, vif.name);
    EXPECT_EQ(back.gender, -1);
    EXPECT_EQ(back.language, -1);
    EXPECT_EQ(back.flag, -1);
}

TEST(VoiceVif, OversizedOrMissingFilesAreRefusedWithoutChange)
{
    TempFolder tmp;
    VoiceFile::VifData vif;
    vif.name = "kept";
    EXPECT_FALSE(VoiceFile::OpenVIF(tmp.file("none.vif"), vif, cp1250));
    EXPECT_EQ(vif.name, "kept");
    const QString huge = tmp.write("huge.vif", QByteArray(10 * 1024 * 1024, 'A'));
    EXPECT_THROW(VoiceFile::OpenVIF(huge, vif, cp1250), KorvixError);
    EXPECT_EQ(vif.name, "kept");
    EXPECT_THROW(VoiceFile::OpenVIF(tmp.path(), vif, cp1250), KorvixError);
}

TEST(VoicePicture, AnyPictureBecomes160By160)
{
    TempFolder tmp;
    QImage wide(200, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    wide.save(tmp.file("wide.bmp"));
    const QImage stretched = VoiceFile::loadVifBitmap(tmp.file("wide.bmp"));
    EXPECT_EQ(stretched.size(), QSize(160, 160));
    EXPECT_EQ(stretched.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(stretched.pixelColor(159, 159), QColor(Qt::red));

    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::blue);
    dot.save(tmp.file("dot.bmp"));
    EXPECT_EQ(VoiceFile::loadVifBitmap(tmp.file("dot.bmp")).pixelColor(80, 80), QColor(Qt::blue));

    const QImage blank = VoiceFile::loadVifBitmap(tmp.file("none.bmp"));
    EXPECT_EQ(blank.size(), QSize(160, 160));
    EXPECT_THROW(VoiceFile::loadVifBitmap(tmp.write("corrupt.bmp", "BM\x10\0\0\0garbage")), KorvixError);
}
