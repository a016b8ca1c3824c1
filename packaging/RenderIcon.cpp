// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the program's SVG icon as square PNGs of the given sizes, so the PNGs of
// the icon theme follow the one drawing instead of being kept by hand.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: korvix-render-icon IN.svg OUT-FOLDER SIZE...\n");
        return 2;
    }
    // No application object: the drawing holds no text, and the build has no display.
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "%s: not a readable SVG picture\n", argv[1]);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "%s: not a size\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString file = QStringLiteral("%1/korvix-%2.png").arg(out).arg(size);
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "%s: can't write\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
