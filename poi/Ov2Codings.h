// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QByteArrayView>

// The four text codings of the compact OV2 record kinds. Each decoder is given
// exactly its record's payload, reads nothing beyond it and appends single-byte
// device text (code page 1250 above 127) to `out`. They only decode: the program
// never writes these kinds.
void DecodePacked5(QByteArrayView bytes, QByteArray &out);
void DecodeHuffman(QByteArrayView bytes, QByteArray &out);
void DecodeBase40(QByteArrayView bytes, QByteArray &out);
void DecodeLettersDigits(QByteArrayView bytes, QByteArray &out);

QByteArray DecodePacked5(QByteArrayView bytes);
QByteArray DecodeHuffman(QByteArrayView bytes);
QByteArray DecodeBase40(QByteArrayView bytes);
QByteArray DecodeLettersDigits(QByteArrayView bytes);

// The Huffman code table as one text ("bits:char" entries), the single source the
// decoder is built from; exposed so the tests can check it.
const char *huffmanCodeTable();
