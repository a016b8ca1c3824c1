// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole numbers as decimal text straight into a buffer, for the writers of a million
// records that cannot afford a QString per number.
#include <QtGlobal>

// Writes the digits of `v` at `d` (at most 10 bytes); returns the end.
inline char *putDecimal(char *d, quint32 v)
{
    char digits[10];
    int n = 0;
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    while (n)
        *d++ = digits[--n];
    return d;
}

// With a leading "-" when negative (at most 11 bytes); the smallest value too.
inline char *putSignedDecimal(char *d, qint32 v)
{
    if (v < 0)
        *d++ = '-';
    return putDecimal(d, v < 0 ? 0u - quint32(v) : quint32(v));
}
