// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Ov2Codings.h"
#include "tests/poi/Ov2TestUtil.h"

#include <QMap>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using Decoder = void (*)(QByteArrayView, QByteArray &);

struct HuffCode {
    QByteArray bits;
    QByteArray symbol; // "end" or one byte
};

QList<HuffCode> huffmanCodes()
{
    QList<HuffCode> out;
    for (const QByteArray &tok : QByteArray(huffmanCodeTable()).simplified().split(' ')) {
        const qsizetype colon = tok.indexOf(':');
        const QByteArray sym = tok.mid(colon + 1);
        out.append({tok.left(colon),
                    sym == "end" ? sym : sym.startsWith("0x") && sym.size() == 4 ? QByteArray(1, char(sym.mid(2).toInt(nullptr, 16))) : sym});
    }
    return out;
}

// Packs bits (first bit into bit 0 of the first byte) as the decoder reads them.
QByteArray packBits(const QByteArray &bits)
{
    QByteArray out((bits.size() + 7) / 8, 0);
    for (qsizetype i = 0; i < bits.size(); ++i)
        if (bits[i] == '1')
            out[i / 8] = char(out[i / 8] | (1 << (i % 8)));
    return out;
}

} // namespace

TEST(Ov2Codings, Examples)
{
    EXPECT_EQ(DecodeBase40(hexBytes("4102")), "qn");
    EXPECT_EQ(DecodeBase40(hexBytes("0000" "4102" "41")), "");
    EXPECT_EQ(DecodeHuffman(hexBytes("07")), "e");
    EXPECT_EQ(DecodeHuffman(hexBytes("0d")), "");
    EXPECT_EQ(DecodeHuffman(QByteArray()), "");
    EXPECT_EQ(DecodeLettersDigits(hexBytes("4168")), "bc>");
    EXPECT_EQ(DecodePacked5(hexBytes("0c80")), "Sa");
    EXPECT_EQ(DecodePacked5(hexBytes("c1")), "a");
    EXPECT_EQ(DecodePacked5(hexBytes("bcbe")), "\xB3");
}

TEST(Ov2Codings, Packed5CodesLiteralsAndEscapes)
{
    // Three codes in a pair: 0x0C = c1 3 ("S"), low bits 00; b2 0x86 = c2 4 ("a"), c3 6 ("r").
    EXPECT_EQ(DecodePacked5(hexBytes("0c86")), "Sar");
    // c2 = 0 ends the pair even when c3 is not 0.
    EXPECT_EQ(DecodePacked5(hexBytes("0c1f")), "S");
    // c1 = 0: the byte yields nothing and takes no second byte.
    EXPECT_EQ(DecodePacked5(hexBytes("030c86")), "Sar");
    // A last byte alone gives its first code only.
    EXPECT_EQ(DecodePacked5(hexBytes("7f")), "-");
    // Literals: 0x80-0xDF stand for byte - 0x60, 0xE0-0xFF for themselves.
    EXPECT_EQ(DecodePacked5(hexBytes("80dfe0ff")), QByteArray("\x20\x7F\xE0\xFF"));
    // Escapes: "[" gives "ó", "^" gives "ł", any other character gives nothing and
    // closes the escape, an escaped backslash keeps it open.
    EXPECT_EQ(DecodePacked5(hexBytes("bcbb")), "\xF3");
    EXPECT_EQ(DecodePacked5(hexBytes("bcc1c1")), "a");
    EXPECT_EQ(DecodePacked5(hexBytes("bcbcbe")), "\xB3");
    EXPECT_EQ(DecodePacked5(hexBytes("bcbcbcbbc1")), "\xF3" "a");
    // Bytes with the top bit clear leave the escape state alone.
    EXPECT_EQ(DecodePacked5(hexBytes("bc0c86be")), "Sar\xB3");
    EXPECT_EQ(DecodePacked5(hexBytes("be")), "^");
}

TEST(Ov2Codings, Base40Words)
{
    // 1 + 2*40 + 3*1600 = "abc"; then 27 + 36*40 = "09" with the third digit 0.
    const auto word = [](int d1, int d2, int d3) {
        const int w = d1 + 40 * d2 + 1600 * d3;
        return QByteArray().append(char(w & 0xFF)).append(char(w >> 8));
    };
    EXPECT_EQ(DecodeBase40(word(1, 2, 3) + word(27, 36, 0) + word(1, 1, 1)), "abc09");
    EXPECT_EQ(DecodeBase40(word(37, 38, 39)), " .-");
    // An odd last byte alone: byte mod 40, a 0 there is a blank.
    EXPECT_EQ(DecodeBase40(word(1, 1, 1) + QByteArray(1, char(40 + 26))), "aaaz");
    EXPECT_EQ(DecodeBase40(QByteArray(1, char(80))), " ");
    // The largest word (65535) holds the digits 15, 38, 0 (digit 3 is 40 mod 40).
    EXPECT_EQ(DecodeBase40(hexBytes("ffff")), "o.");
}

TEST(Ov2Codings, LettersThenDigits)
{
    // Codes 0 ("a") and 26 (end) in the low bits of 0x0340.
    EXPECT_EQ(DecodeLettersDigits(hexBytes("4003")), "a>");
    // Without an end code the letters run until fewer than 5 bits are left.
    EXPECT_EQ(DecodeLettersDigits(hexBytes("00")), "a>");
    EXPECT_EQ(DecodeLettersDigits(QByteArray()), ">");
    // Letters 25 (blank), 31 ("-"), then the end code; one bit is left over.
    quint32 v = 25 | (31u << 5) | (26u << 10);
    QByteArray b;
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    EXPECT_EQ(DecodeLettersDigits(b), " ->");
    // The leftover bit sits below the next byte: (0xB1 << 1) gives the codes 2 ("1")
    // and 6 ("5"); one bit waits for the byte after.
    b.append(char(0xB1));
    EXPECT_EQ(DecodeLettersDigits(b), " ->15");
    b.append(char(0x00));
    EXPECT_EQ(DecodeLettersDigits(b), " ->150");
}

TEST(Ov2Codings, HuffmanTableIsPrefixFreeAndDecodesEveryCode)
{
    const QList<HuffCode> codes = huffmanCodes();
    EXPECT_EQ(codes.size(), 146);
    for (const HuffCode &a : codes)
        for (const HuffCode &b : codes)
            if (&a != &b)
                ASSERT_FALSE(b.bits.startsWith(a.bits)) << a.bits.constData() << " " << b.bits.constData();
    for (const HuffCode &c : codes) {
        // The code followed by "e" and the end code: the character and "e", or nothing after
        // the end code.
        const QByteArray got = DecodeHuffman(packBits(c.bits + "111" + "1011"));
        if (c.symbol == "end")
            EXPECT_EQ(got, "") << c.bits.constData();
        else
            EXPECT_EQ(got, c.symbol + "e") << c.bits.constData();
    }
    // Some entries as the table gives them.
    QMap<QByteArray, QByteArray> bySymbol;
    for (const HuffCode &c : codes)
        bySymbol.insert(c.bits, c.symbol);
    EXPECT_EQ(bySymbol.value("0010"), " ");
    EXPECT_EQ(bySymbol.value("01100001111"), "\xF3");
    EXPECT_EQ(bySymbol.value("101011111100001000110111"), "\xA3");
    EXPECT_EQ(bySymbol.value("011000011101110010000"), "\\");
    EXPECT_EQ(bySymbol.value("10101111110000011"), ":");
    EXPECT_EQ(bySymbol.value("010001100011"), "\"");
}

TEST(Ov2Codings, HuffmanWords)
{
    // "Rynek": R 01100000, y 01100010, n 1001, e 111, k 0000000, then end 1011.
    const QByteArray bits = "01100000" "01100010" "1001" "111" "0000000" "1011" "111";
    EXPECT_EQ(DecodeHuffman(packBits(bits)), "Rynek");
    // Bits that start no code stop the text as the end code does.
    EXPECT_EQ(DecodeHuffman(packBits(QByteArray("111") + "1010111111000000" + "111")), "e");
}

TEST(Ov2Codings, NeverReadBeyondThePayload)
{
    // The output must not depend on the bytes after the payload.
    const Decoder decoders[] = {&DecodePacked5, &DecodeHuffman, &DecodeBase40, &DecodeLettersDigits};
    QRandomGenerator rng(77);
    for (int round = 0; round < 20000; ++round) {
        const int n = int(rng.bounded(0, 40));
        QByteArray buf(n + 8, Qt::Uninitialized);
        for (char &c : buf)
            c = char(rng.bounded(256));
        for (Decoder d : decoders) {
            QByteArray a, b;
            d(QByteArrayView(buf.constData(), n), a);
            for (int k = n; k < buf.size(); ++k)
                buf[k] = char(~buf[k]);
            d(QByteArrayView(buf.constData(), n), b);
            ASSERT_EQ(a, b);
            ASSERT_LE(a.size(), 8 * n + 1) << "every coding yields at most one character per bit";
        }
    }
}
