// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/LatLng.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(LatLngDialog, ParsesOnEveryChangeAndKeepsTheOption)
{
    TLatLng dialog;
    EXPECT_EQ(dialog.windowTitle().toStdString(), "LatLng");
    EXPECT_EQ(dialog.resultText().toStdString(), "?");

    auto *edit = dialog.findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("W 0.5, S 1.5"));
    EXPECT_EQ(dialog.resultText().toStdString(), "Lng: -0.5\nLat: -1.5");
    EXPECT_DOUBLE_EQ(dialog.lng(), -0.5);
    EXPECT_DOUBLE_EQ(dialog.lat(), -1.5);

    QRadioButton *minutes = nullptr;
    for (QRadioButton *b : dialog.findChildren<QRadioButton *>())
        if (b->text() == QLatin1String("Minuty"))
            minutes = b;
    ASSERT_NE(minutes, nullptr);
    QTest::mouseClick(minutes, Qt::LeftButton);
    EXPECT_EQ(dialog.display(), CoordinateDisplay::Minutes);
    EXPECT_EQ(dialog.resultText().toStdString(), "Lng: -0*30\nLat: -1*30");

    // The option survives new input.
    dialog.setInput(QStringLiteral("19.935, 50.062"));
    EXPECT_EQ(dialog.resultText().toStdString(), "Lng: 19*56.1\nLat: 50*3.72");
    dialog.setDisplay(CoordinateDisplay::TomTom);
    EXPECT_EQ(dialog.resultText().toStdString(), "Lng: 1993500\nLat: 5006200");
    EXPECT_TRUE(dialog.findChildren<QRadioButton *>().at(3)->isChecked());
}

TEST(LatLngDialog, ReadsTheDegreeSignAsTyped)
{
    TLatLng dialog;
    auto *edit = dialog.findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QString::fromUtf8("E 19°56'6\" N 50°3'40\""));
    dialog.setDisplay(CoordinateDisplay::Seconds);
    EXPECT_EQ(dialog.resultText().toStdString(), "Lng: 19*56'6\nLat: 50*3'40");
    EXPECT_NEAR(dialog.lat(), 50 + 3 / 60.0 + 40 / 3600.0, 1e-12);
}

TEST(LatLngDialog, CreatedOnceAndReused)
{
    QWidget parent;
    TLatLng *a = TLatLng::instance(&parent);
    a->setInput(QStringLiteral("1, 2"));
    EXPECT_EQ(TLatLng::instance(), a);
    EXPECT_EQ(TLatLng::instance()->input().toStdString(), "1, 2");
}

TEST(LatLngDialog, ApplyHandsTheTypedPositionOverInListUnits)
{
    TLatLng dialog;
    dialog.show();
    QPushButton *apply = dialog.applyButton();
    EXPECT_EQ(apply->text().toStdString(), "Apply");
    EXPECT_FALSE(apply->isVisible()) << "nobody takes a position";

    QList<std::pair<qint32, qint32>> applied;
    dialog.setApplyHandler([&](qint32 lon, qint32 lat) { applied.append({lon, lat}); });
    EXPECT_TRUE(apply->isVisible());
    auto *edit = dialog.findChild<QLineEdit *>();
    // Longitude first, as the dialog shows it; degrees-minutes-seconds exactly.
    QTest::keyClicks(edit, QStringLiteral("19.935, 50.062"));
    ASSERT_TRUE(apply->isEnabled());
    QTest::mouseClick(apply, Qt::LeftButton);
    edit->clear();
    QTest::keyClicks(edit, QString::fromUtf8("N 50°3'43.2\" W 19°56'6\""));
    QTest::mouseClick(apply, Qt::LeftButton);
    // Whole numbers are degrees here, as the displays read them.
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("19, 50"));
    EXPECT_EQ(dialog.resultText().toStdString(), "Lng: 19\nLat: 50");
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(applied, (QList<std::pair<qint32, qint32>>{{1993500, 5006200}, {-1993500, 5006200}, {1900000, 5000000}}));

    // What the display reads leniently cannot change a row.
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1.2.3"));
    EXPECT_EQ(dialog.resultText().toStdString(), "Lng: 1.2\nLat: 3");
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(apply->toolTip().toStdString(), "the text is not two coordinates");
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("200, 50"));
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(apply->toolTip().toStdString(), "longitude: a longitude lies within 180°");

    dialog.setApplyHandler({});
    EXPECT_FALSE(apply->isVisible());
}
