// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DeviceCodec.h"
#include "platform/Settings.h"
#include "tests/support/TestSupport.h"

#include <QSet>

#include <gtest/gtest.h>

TEST(DeviceCodec, SingleBytePagesRoundTripEveryByte)
{
    QByteArray all(256, 0);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    for (auto kind : {DeviceCodec::Kind::Cp1250, DeviceCodec::Kind::Cp1252}) {
        const DeviceCodec codec(kind);
        const QString text = codec.toUnicode(all);
        ASSERT_EQ(text.size(), 256);
        EXPECT_EQ(codec.fromUnicode(text), all);
        QSet<char16_t> seen;
        for (QChar c : text)
            seen.insert(c.unicode());
        EXPECT_EQ(seen.size(), 256) << "one character per byte";
    }
}

TEST(DeviceCodec, Windows1250Letters)
{
    const DeviceCodec codec;
    EXPECT_EQ(codec.kind(), DeviceCodec::Kind::Cp1250);
    EXPECT_EQ(codec.toUnicode("\xA3\xF3\xB3\xEA\xB9\x9C\x9F\xBF\xF1\xE6\x80"), QString::fromUtf8("Łółęąśźżńć€"));
    EXPECT_EQ(codec.fromUnicode(QString::fromUtf8("Zażółć gęślą jaźń")), "Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1");
    // The undefined bytes are their C1 controls; characters outside the page are "?".
    EXPECT_EQ(codec.toUnicode("\x81\x83\x88\x90\x98"), QString::fromUtf16(u"\u0081\u0083\u0088\u0090\u0098"));
    EXPECT_EQ(codec.fromUnicode(QString::fromUtf8("ß→日")), "\xDF??");
    EXPECT_EQ(DeviceCodec(DeviceCodec::Kind::Cp1252).toUnicode("\x80\xE6"), QString::fromUtf8("€æ"));
    const DeviceCodec utf8(DeviceCodec::Kind::Utf8);
    EXPECT_EQ(utf8.fromUnicode(QString::fromUtf8("łó")), "\xC5\x82\xC3\xB3");
    EXPECT_FALSE(utf8.isSingleByte());
}

TEST(DeviceCodec, ChosenBySetting)
{
    TempFolder tmp;
    KorvixSettings settings(tmp.file("k.ini"));
    EXPECT_EQ(DeviceCodec::fromSettings(settings).kind(), DeviceCodec::Kind::Cp1250);
    settings.WriteString("Settings", "CodePage", "1252");
    EXPECT_EQ(DeviceCodec::fromSettings(settings).kind(), DeviceCodec::Kind::Cp1252);
    settings.WriteString("settings", "codepage", "utf-8");
    EXPECT_EQ(DeviceCodec::fromSettings(settings).kind(), DeviceCodec::Kind::Utf8);
    settings.WriteString("Settings", "CodePage", "437");
    EXPECT_EQ(DeviceCodec::fromSettings(settings).kind(), DeviceCodec::Kind::Cp1250);
}

// Texts are widened in blocks of sixteen bytes: every length and every place of a
// byte above 127 reads as the byte-by-byte table says, appended after what is there.
TEST(DeviceCodec, TextsOfEveryLengthAndHighBytePlace)
{
    const DeviceCodec codec(DeviceCodec::Kind::Cp1250);
    for (int len = 0; len <= 40; ++len) {
        for (int high = -1; high < len; ++high) {
            QByteArray bytes;
            for (int i = 0; i < len; ++i)
                bytes.append(i == high ? char(0x9F + i) : char('a' + i));
            QString expected = QStringLiteral("x");
            for (char b : bytes)
                expected.append(QChar(codec.charOf(static_cast<unsigned char>(b))));
            QString out = QStringLiteral("x");
            codec.appendUnicode(out, bytes);
            ASSERT_EQ(out, expected) << len << ' ' << high;
        }
    }
    EXPECT_EQ(codec.toUnicode("Pod R\xF3\xBF\xB9 12345678"), QString::fromUtf8("Pod Różą 12345678"));
}
