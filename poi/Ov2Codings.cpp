// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Ov2Codings.h"

#include <vector>

namespace {

// --- Packed 5-bit codes with literals ---------------------------------------

const char kPacked5Chars[32] = {
    0,   '.', ' ', 'S', 'a', 'e', 'r', 'i', 'o', 'n', 's', 't', 'l', 'd', 'c', 'h',
    'u', 'm', 'g', 'p', 'b', 'k', 'f', 'z', 'v', 'A', 'C', 'B', 'M', 'P', 'G', '-',
};

constexpr char kSmallL = char(0xB3); // "ł" in code page 1250
constexpr char kSmallO = char(0xF3); // "ó"

// --- Huffman -----------------------------------------------------------------

// Bits as read, first bit left; "end" is the end code; 0xHH a byte of code page 1250.
const char kHuffmanTable[] =
    "111:e\n"
    "0010:0x20 0011:a 0101:r 0111:i 1000:o 1001:n 1011:end 1100:t\n"
    "00010:s 00011:l 01101:d 11010:c 11011:u\n"
    "000001:h 010000:m 010011:g 011001:p 101010:b\n"
    "0000000:k 0000100:S 0000110:. 0100100:f 1010010:z 1010011:v 1010110:A\n"
    "00000010:C 00001010:B 00001110:M 01000101:P 01000111:G 01001011:- 01100000:R "
    "01100010:y 01100011:D 10100000:H 10100001:L 10100010:w\n"
    "000000111:K 000010111:j 000011110:V 000011111:T 010001000:F 010010101:E 011000010:W "
    "101011110:0x20\n"
    "0000001100:N 0000001101:/ 0000101100:I 0100010010:& 0100010011:J 0100011001:O "
    "0100011010:` 0100101000:u 1010001100:x 1010001110:o 1010001111:e 1010111001:q "
    "1010111011:, 1010111110:a\n"
    "00001011010:1 01000110000:Z 01000110111:2 01001010011:( 01100001100:) 01100001101:U "
    "01100001111:0xF3 10101110001:0 10101110100:i 10101110101:3 10101111111:4\n"
    "000010110110:8 010001100010:0xE6 010001100011:\" 010001101100:a 010010100100:5 "
    "011000011100:r 101000110100:7 101000110110:6 101000110111:c 101011100001:9\n"
    "0100011011011:O 0110000111010:r 1010001101010:A 1010001101011:l 1010111000000:U "
    "1010111000001:c 1010111111001:Y 1010111111010:0xF1\n"
    "00001011011100:U 00001011011110:o 00001011011111:+ 01000110110101:a 01001010010101:X "
    "01001010010110:e 01001010010111:u 01100001110110:L 10101111110001:e 10101111110111:n\n"
    "010001101101000:u 011000011101111:R 101011111101101:A\n"
    "0000101101110100:0xB3 0000101101110110:0xEA 0100101001010000:y 0100101001010001:C "
    "1010111111000011:' 1010111111011000:E 1010111111011001:S\n"
    "00001011011101111:i 01100001110111010:I 01100001110111011:d 10101111110000011::\n"
    "000010110111010100:o 000010110111010110:R 000010110111010111:[ 000010110111011100:] "
    "011000011101110011:` 101011111100000100:* 101011111100001011:u\n"
    "0000101101110101011:_ 0110000111011100101:0x20 1010111111000010100:0xC6\n"
    "00001011011101010100:; 00001011011101110110:0xD3 01100001110111001001:! "
    "10101111110000101010:0xD1\n"
    "000010110111010101010:* 000010110111010101011:` 000010110111011101000:N "
    "000010110111011101010:A 011000011101110010000:\\ 011000011101110010001:C "
    "101011111100001000010:D 101011111100001001100:$ 101011111100001001101:A "
    "101011111100001010110:? 101011111100001010111:O\n"
    "1010111111000001011011:U\n"
    "00001011011101110100100:E 00001011011101110100101:I 10101111110000100001101:> "
    "10101111110000100001110:#\n"
    "101011111100000101000000:} 101011111100000101000010:{ 101011111100001000110111:0xA3\n";

// A binary trie over the codes: node 0 is the root; a child index of 0 means "no code
// continues this way", which the decoder treats like the end code (no later code can
// complete, so nothing more is output).
struct HuffNode {
    int child[2] = {0, 0};
    int symbol = -1; // byte, or kHuffEnd
};
constexpr int kHuffEnd = 256;

std::vector<HuffNode> buildHuffmanTrie()
{
    std::vector<HuffNode> nodes(1);
    const char *p = kHuffmanTable;
    while (*p) {
        while (*p == ' ' || *p == '\n')
            ++p;
        if (!*p)
            break;
        int node = 0;
        for (; *p == '0' || *p == '1'; ++p) {
            const int bit = *p - '0';
            if (!nodes[node].child[bit]) {
                nodes[node].child[bit] = int(nodes.size());
                nodes.emplace_back();
            }
            node = nodes[node].child[bit];
        }
        ++p; // ':'
        const char *tok = p;
        while (*p && *p != ' ' && *p != '\n')
            ++p;
        const qsizetype len = p - tok;
        int symbol;
        if (len == 3 && tok[0] == 'e' && tok[1] == 'n' && tok[2] == 'd')
            symbol = kHuffEnd;
        else if (len == 4 && tok[0] == '0' && tok[1] == 'x')
            symbol = QByteArray(tok + 2, 2).toInt(nullptr, 16);
        else
            symbol = static_cast<unsigned char>(tok[0]);
        nodes[node].symbol = symbol;
    }
    return nodes;
}

const std::vector<HuffNode> &huffmanTrie()
{
    static const std::vector<HuffNode> trie = buildHuffmanTrie();
    return trie;
}

// --- Base 40 -----------------------------------------------------------------

const char kBase40Chars[41] = " abcdefghijklmnopqrstuvwxyz0123456789 .-";

// --- Letters and digits ----------------------------------------------------

const char kLetters[32] = {
    'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p',
    'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', ' ', 0 /* end */, '(', ')', '&', '\'', '-',
};
constexpr unsigned kLettersEnd = 26;
const char kDigits[16] = {0 /* end */, '0', '1', '2', '3', '4', '5', '6', '7', '8', '9',
                          '-', '(', ')', '+', '#'};

} // namespace

const char *huffmanCodeTable()
{
    return kHuffmanTable;
}

void DecodePacked5(QByteArrayView bytes, QByteArray &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    bool escape = false;
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i++];
        if (b & 0x80) {
            const char ch = char(b < 0xE0 ? b - 0x60 : b);
            if (!escape) {
                if (ch == '\\')
                    escape = true;
                else
                    out.append(ch);
            } else if (ch == '^') {
                out.append(kSmallL);
                escape = false;
            } else if (ch == '[') {
                out.append(kSmallO);
                escape = false;
            } else if (ch != '\\') {
                escape = false; // any other escaped character gives nothing
            }
            continue;
        }
        const unsigned c1 = (b >> 2) & 31;
        if (c1 == 0)
            continue;
        out.append(kPacked5Chars[c1]);
        if (i >= n)
            continue;
        const unsigned char b2 = p[i++];
        const unsigned c2 = ((b & 3u) << 3) | (b2 >> 5);
        if (c2 == 0)
            continue;
        out.append(kPacked5Chars[c2]);
        const unsigned c3 = b2 & 31;
        if (c3)
            out.append(kPacked5Chars[c3]);
    }
}

void DecodeHuffman(QByteArrayView bytes, QByteArray &out)
{
    const std::vector<HuffNode> &trie = huffmanTrie();
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    int node = 0;
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i) {
        const unsigned char b = p[i];
        for (int bit = 0; bit < 8; ++bit) {
            node = trie[size_t(node)].child[(b >> bit) & 1];
            if (node == 0)
                return; // no code of the table begins so: nothing can follow
            const int symbol = trie[size_t(node)].symbol;
            if (symbol >= 0) {
                if (symbol == kHuffEnd)
                    return;
                out.append(char(symbol));
                node = 0;
            }
        }
    }
}

void DecodeBase40(QByteArrayView bytes, QByteArray &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    // Once a zero digit is met every later word is consumed without output, so
    // stopping there reads the same.
    for (; i + 1 < n; i += 2) {
        unsigned w = p[i] | (unsigned(p[i + 1]) << 8);
        for (int d = 0; d < 3; ++d, w /= 40) {
            const unsigned digit = w % 40;
            if (digit == 0)
                return;
            out.append(kBase40Chars[digit]);
        }
    }
    if (i < n)
        out.append(kBase40Chars[p[i] % 40]);
}

void DecodeLettersDigits(QByteArrayView bytes, QByteArray &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    quint32 buffer = 0;
    int held = 0;
    for (;;) {
        while (held < 5 && i < n) {
            buffer |= quint32(p[i++]) << held;
            held += 8;
        }
        if (held < 5)
            break;
        const unsigned code = buffer & 31;
        buffer >>= 5;
        held -= 5;
        if (code == kLettersEnd)
            break;
        out.append(kLetters[code]);
    }
    out.append('>');
    // The digits keep the bits left over, but their loop reads a byte first.
    while (i < n) {
        buffer |= quint32(p[i++]) << held;
        held += 8;
        while (held >= 4) {
            const unsigned code = buffer & 15;
            buffer >>= 4;
            held -= 4;
            if (code == 0)
                return;
            out.append(kDigits[code]);
        }
    }
}

QByteArray DecodePacked5(QByteArrayView bytes)
{
    QByteArray out;
    DecodePacked5(bytes, out);
    return out;
}

QByteArray DecodeHuffman(QByteArrayView bytes)
{
    QByteArray out;
    DecodeHuffman(bytes, out);
    return out;
}

QByteArray DecodeBase40(QByteArrayView bytes)
{
    QByteArray out;
    DecodeBase40(bytes, out);
    return out;
}

QByteArray DecodeLettersDigits(QByteArrayView bytes)
{
    QByteArray out;
    DecodeLettersDigits(bytes, out);
    return out;
}
