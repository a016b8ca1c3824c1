// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/IconEdit.h"
#include "platform/Error.h"

#include "PictureFixtures.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
QImage whiteIcon(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// The editor shown with its drawing panel at a fixed client size.
struct ShownEditor {
    TIconEdit editor;
    explicit ShownEditor(const QImage &icon, QSize panel = QSize(366, 356))
    {
        editor.setImage(icon);
        editor.drawingPanel()->setFixedSize(panel);
        editor.show();
        editor.adjustSize();
        QApplication::processEvents();
    }
    QPoint cellCentre(int x, int y) const
    {
        const int z = editor.zoom();
        return {z * x + z / 2, z * y + z / 2};
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QWidget *s = editor.drawingSurface();
        QMouseEvent e(type, at, s->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(s, &e);
    }
};
} // namespace

TEST(IconEditor, ZoomFollowsTheSmallerRatio)
{
    ShownEditor shown(whiteIcon(22, 22));
    EXPECT_EQ(shown.editor.drawingPanel()->contentsRect().size(), QSize(366, 356));
    EXPECT_EQ(shown.editor.zoom(), 16);   // 356 / 22 and 366 / 22

    shown.editor.setImage(whiteIcon(44, 44));
    EXPECT_EQ(shown.editor.zoom(), 8);
    shown.editor.setImage(whiteIcon(44, 22));
    EXPECT_EQ(shown.editor.zoom(), 8);    // 366 / 44
    // A non-square icon maps clicks with the same cell size as it is drawn.
    EXPECT_EQ(shown.editor.pixelAt(QPoint(8 * 43 + 3, 8 * 21 + 3)), QPoint(43, 21));
    shown.editor.setImage(whiteIcon(400, 400));
    EXPECT_EQ(shown.editor.zoom(), 0);
    EXPECT_EQ(shown.editor.pixelAt(QPoint(5, 5)), QPoint(-1, -1));
    shown.editor.setImage(QImage());
    EXPECT_EQ(shown.editor.zoom(), 0);
    shown.editor.paintAt(QPoint(3, 3), Qt::LeftButton);   // nothing to paint, no crash
    EXPECT_FALSE(shown.editor.drawingSurface()->grab().isNull());
}

TEST(IconEditor, CellsShareOutlinesInTheFaceColour)
{
    QImage icon = whiteIcon(22, 22);
    icon.setPixel(0, 0, qRgb(255, 0, 0));
    icon.setPixel(1, 0, qRgb(0, 0, 255));
    ShownEditor shown(icon);
    const QImage shot = shown.editor.drawingSurface()->grab().toImage();
    const QRgb face = shown.editor.palette().color(QPalette::Button).rgb();
    EXPECT_EQ(shot.pixel(8, 8), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(24, 8), qRgb(0, 0, 255));
    EXPECT_EQ(shot.pixel(0, 0), face);
    EXPECT_EQ(shot.pixel(16, 8), face);     // the one outline between the two cells
    EXPECT_EQ(shot.pixel(15, 8), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(17, 8), qRgb(0, 0, 255));
    EXPECT_EQ(shot.pixel(8, 16), face);
    EXPECT_EQ(shot.pixel(22 * 16, 8), face);   // right edge of the last cell
}

TEST(IconEditor, LeftAndRightButtonsPaintTheirColours)
{
    ShownEditor shown(whiteIcon(22, 22));
    EXPECT_EQ(shown.editor.leftColor(), QColor(Qt::white));
    EXPECT_EQ(shown.editor.rightColor(), QColor(Qt::black));
    shown.editor.setLeftColor(QColor(255, 0, 0));
    shown.editor.setRightColor(QColor(1, 2, 3));   // not a listed colour: the custom entry
    EXPECT_EQ(shown.editor.rightColor(), QColor(1, 2, 3));

    QTest::mouseClick(shown.editor.drawingSurface(), Qt::LeftButton, {}, shown.cellCentre(3, 4));
    QTest::mouseClick(shown.editor.drawingSurface(), Qt::RightButton, {}, shown.cellCentre(5, 6));
    const QImage img = shown.editor.image();
    EXPECT_EQ(img.pixel(3, 4), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(5, 6), qRgb(1, 2, 3));
    EXPECT_EQ(img.pixel(4, 4), qRgb(255, 255, 255));

    // Dragging with the left button held paints every cell it crosses.
    shown.mouse(QEvent::MouseButtonPress, shown.cellCentre(0, 10), Qt::LeftButton, Qt::LeftButton);
    for (int x = 1; x < 22; ++x)
        shown.mouse(QEvent::MouseMove, shown.cellCentre(x, 10), Qt::NoButton, Qt::LeftButton);
    shown.mouse(QEvent::MouseButtonRelease, shown.cellCentre(21, 10), Qt::LeftButton, Qt::NoButton);
    shown.mouse(QEvent::MouseMove, shown.cellCentre(0, 12), Qt::NoButton, Qt::NoButton);   // no button: no paint
    const QImage dragged = shown.editor.image();
    for (int x = 0; x < 22; ++x)
        EXPECT_EQ(dragged.pixel(x, 10), qRgb(255, 0, 0)) << x;
    EXPECT_EQ(dragged.pixel(0, 12), qRgb(255, 255, 255));

    // Outside the grid, and left of or above it, nothing changes.
    shown.editor.paintAt(QPoint(-3, 5), Qt::LeftButton);
    shown.editor.paintAt(QPoint(5, -3), Qt::LeftButton);
    shown.editor.paintAt(QPoint(16 * 22 + 2, 5), Qt::LeftButton);
    EXPECT_EQ(shown.editor.image(), dragged);
}

TEST(IconEditor, OkHandsBackAndCancelKeepsTheCallersIcon)
{
    QImage icon = whiteIcon(22, 22);
    const QImage original = icon;
    QWidget parent;
    TIconEdit *editor = TIconEdit::instance(&parent);
    EXPECT_EQ(TIconEdit::instance(), editor);   // created once, reused
    editor->setLeftColor(Qt::black);

    onNextModal([](QWidget *w) {
        auto *e = qobject_cast<TIconEdit *>(w);
        ASSERT_NE(e, nullptr);
        e->paintAt(QPoint(1, 1), Qt::LeftButton);
        for (QPushButton *b : e->findChildren<QPushButton *>())
            if (b->text() == QLatin1String("Cancel"))
                b->click();
    });
    EXPECT_FALSE(TIconEdit::edit(icon, &parent));
    EXPECT_EQ(icon, original);

    onNextModal([](QWidget *w) {
        auto *e = qobject_cast<TIconEdit *>(w);
        ASSERT_NE(e, nullptr);
        e->paintAt(QPoint(1, 1), Qt::LeftButton);
        for (QPushButton *b : e->findChildren<QPushButton *>())
            if (b->text() == QLatin1String("OK"))
                b->click();
    });
    EXPECT_TRUE(TIconEdit::edit(icon, &parent));
    EXPECT_EQ(icon.size(), QSize(22, 22));
    EXPECT_EQ(icon.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(IconEditor, IndexedIconsStayIndexedWhileTheirTableFits)
{
    ShownEditor shown(indexedPicture(22, 22));
    shown.editor.setLeftColor(QColor(255, 0, 0));   // in the table
    shown.editor.paintAt(shown.cellCentre(2, 2), Qt::LeftButton);
    QImage back = shown.editor.image();
    EXPECT_EQ(back.format(), QImage::Format_Indexed8);
    EXPECT_EQ(back.pixel(2, 2), qRgb(255, 0, 0));

    shown.editor.setLeftColor(QColor(0, 255, 0));   // not in it
    shown.editor.paintAt(shown.cellCentre(3, 3), Qt::LeftButton);
    back = shown.editor.image();
    EXPECT_NE(back.format(), QImage::Format_Indexed8);
    EXPECT_EQ(back.pixel(3, 3), qRgb(0, 255, 0));
    EXPECT_EQ(back.pixel(2, 2), qRgb(255, 0, 0));
}

TEST(IconEditor, ImportStretchesOverTheIcon)
{
    TempFolder dir;
    ShownEditor shown(whiteIcon(44, 44));
    shown.editor.importFile(writeJpeg(dir.file(QStringLiteral("p.jpg"))));
    const QImage img = shown.editor.image();
    EXPECT_EQ(img.size(), QSize(44, 44));
    EXPECT_GT(qRed(img.pixel(43, 0)), qRed(img.pixel(0, 0)));   // the ramp runs left to right
    EXPECT_THROW(shown.editor.importFile(dir.write(QStringLiteral("huge.bmp"), bitmapHeaderOnly(30000, 30000))),
                 KorvixError);
    EXPECT_EQ(shown.editor.image(), img);
}
