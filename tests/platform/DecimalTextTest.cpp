// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DecimalText.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <limits>

namespace {
QByteArray unsignedText(quint32 v)
{
    char buf[16];
    return QByteArray(buf, putDecimal(buf, v) - buf);
}
QByteArray signedText(qint32 v)
{
    char buf[16];
    return QByteArray(buf, putSignedDecimal(buf, v) - buf);
}
} // namespace

TEST(DecimalText, WritesEveryDigitOnceAtTheEdgesOfTheRange)
{
    for (quint32 v : {0u, 7u, 10u, 99u, 100u, 1000000u, 4294967295u})
        EXPECT_EQ(unsignedText(v), QByteArray::number(v)) << v;
    for (qint32 v : {0, 1, -1, 10, -10, 1999999, -1999999, std::numeric_limits<qint32>::max(),
                     std::numeric_limits<qint32>::min()})
        EXPECT_EQ(signedText(v), QByteArray::number(v)) << v;
}
