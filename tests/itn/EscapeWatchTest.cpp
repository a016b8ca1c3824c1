// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/EscapeWatch.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

TEST(EscapeWatch, FollowsPressAndReleaseButNotAutoRepeat)
{
    EscapeWatch::install();
    EscapeWatch::setHeld(false);
    QWidget w;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &press);
    EXPECT_TRUE(EscapeWatch::held());
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&w, &repeat);
    EXPECT_TRUE(EscapeWatch::held());
    QKeyEvent other(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &other);
    EXPECT_TRUE(EscapeWatch::held());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &release);
    EXPECT_FALSE(EscapeWatch::held());
}
