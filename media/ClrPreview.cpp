// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ClrPreview.h"

#include "platform/FileReader.h"

#include "media/ClrFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QPainter>
#include <QPolygon>

#include <array>

namespace {

// Entry numbers, named by what they colour.
enum Entry {
    Background = 1, City, Water, Park, Woodland, Beach, Industrial, Harbor, Moor, Marsh,
    Pedestrian, Airport, Runway, RouteBack, RouteFore, Blocked, Jam, Highlighted, Unreachable,
    MotorwaySolid, MotorwayEdge, MotorwayInside, MotorwayText,
    MajorSolid, MajorEdge, InternationalInside, MajorInside, MajorText,
    SecondarySmall, SecondarySolid, SecondaryEdge, SecondaryInside, SecondaryText,
    ConnectingSmall, ConnectingSolid, ConnectingEdge, ConnectingInside, ConnectingText,
    LocalSmall, MajorLocalSolid, LocalSolid, LocalEdge, LocalInside, LocalText,
    DestinationSolid, DestinationText,
    FerryBack, FerryDots, FerryText, RailA, RailB, WaterEdge, Borders, Arrows, ArrowsBorder,
    RouteArrow, RouteArrowHigh, TollEdge, TollInside,
    PanelBack, PanelBorder, PanelText, PanelDim,
    HighwayBack, HighwayBorder, HighwayText, ExitBack, ExitBorder, ExitText,
    Progress, DistantRoute,
};
static_assert(DistantRoute == Clr::EntryCount);

// While drawing, an entry is the red of an RGB picture; antialiasing stays off so
// every pixel is exactly one entry.
QColor code(int entry) { return QColor(entry, 0, 0); }

// A 5 x 7 letter set of our own: labels must not depend on the fonts installed.
const QHash<QChar, std::array<const char *, 7>> &glyphs()
{
    static const QHash<QChar, std::array<const char *, 7>> g = {
        {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
        {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
        {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
        {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
        {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
        {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
        {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
        {'N', {"#   #", "#   #", "##  #", "# # #", "#  ##", "#   #", "#   #"}},
        {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
        {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
        {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
        {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
        {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "# # #", " # # "}},
        {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
        {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
        {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
        {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
        {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
        {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
        {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
        {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
        {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
        {':', {"     ", "  #  ", "  #  ", "     ", "  #  ", "  #  ", "     "}},
    };
    return g;
}

void label(QPainter &p, int x, int y, const QString &text, int entry, int scale = 2)
{
    for (QChar c : text) {
        const auto it = glyphs().find(c);
        if (it != glyphs().end())
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (it.value()[size_t(row)][col] == '#')
                        p.fillRect(x + col * scale, y + row * scale, scale, scale, code(entry));
        x += 6 * scale;
    }
}

void line(QPainter &p, QPoint a, QPoint b, int entry, int width, Qt::PenStyle style = Qt::SolidLine)
{
    p.setPen(QPen(code(entry), width, style, Qt::FlatCap, Qt::MiterJoin));
    p.drawLine(a, b);
}

void path(QPainter &p, const QPolygon &points, int entry, int width, Qt::PenStyle style = Qt::SolidLine)
{
    p.setPen(QPen(code(entry), width, style, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(points);
}

void area(QPainter &p, const QPolygon &shape, int entry)
{
    p.setPen(Qt::NoPen);
    p.setBrush(code(entry));
    p.drawPolygon(shape);
}

void box(QPainter &p, const QRect &r, int fill, int border, int borderWidth)
{
    p.fillRect(r, code(border));
    p.fillRect(r.adjusted(borderWidth, borderWidth, -borderWidth, -borderWidth), code(fill));
}

// An arrow pointing along +x or -x, filled and framed.
void arrow(QPainter &p, QPoint tip, int dir, int fill, int border, int size)
{
    const QPolygon shape({tip, tip + QPoint(-dir * size, -size / 2), tip + QPoint(-dir * size, size / 2)});
    p.setPen(QPen(code(border), 1));
    p.setBrush(code(fill));
    p.drawPolygon(shape);
}

// A road: edge below, inside on top.
void road(QPainter &p, const QPolygon &points, int edge, int inside, int width)
{
    path(p, points, edge, width);
    path(p, points, inside, width - 4);
}

// Distant parts of the map, as far-zoomed roads are drawn: thin, in their solid
// and small colours.
void drawDistance(QPainter &p)
{
    const int top = 60;
    line(p, {0, top + 10}, {300, top + 18}, MotorwaySolid, 4);
    line(p, {0, top + 30}, {300, top + 26}, MajorSolid, 3);
    line(p, {20, top + 40}, {280, top + 44}, SecondarySolid, 2);
    line(p, {20, top + 50}, {280, top + 50}, SecondarySmall, 1);
    line(p, {20, top + 58}, {280, top + 62}, ConnectingSolid, 2);
    line(p, {20, top + 68}, {280, top + 68}, ConnectingSmall, 1);
    line(p, {20, top + 75}, {140, top + 75}, LocalSmall, 1);
    line(p, {160, top + 75}, {280, top + 75}, MajorLocalSolid, 2);
    line(p, {20, top + 82}, {140, top + 82}, LocalSolid, 2);
    line(p, {160, top + 82}, {280, top + 82}, DestinationSolid, 2);
    line(p, {60, top + 90}, {60, top + 2}, DistantRoute, 3);
}

void drawAreas(QPainter &p)
{
    area(p, QPolygon(QRect(150, 150, 150, 180)), City);
    area(p, QPolygon(QRect(232, 160, 60, 22)), Pedestrian);
    area(p, QPolygon(QRect(0, 150, 100, 60)), Industrial);
    area(p, QPolygon(QRect(160, 262, 34, 28)), Park);
    area(p, QPolygon({QPoint(0, 262), QPoint(90, 262), QPoint(100, 300), QPoint(70, 330), QPoint(0, 330)}), Woodland);
    area(p, QPolygon(QRect(0, 345, 60, 50)), Moor);
    area(p, QPolygon(QRect(0, 400, 60, 40)), Marsh);
    area(p, QPolygon(QRect(150, 372, 30, 148)), Beach);
    const QPolygon lake({QPoint(170, 380), QPoint(300, 372), QPoint(300, 520), QPoint(175, 520), QPoint(162, 450)});
    area(p, lake, Water);
    p.setPen(QPen(code(WaterEdge), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(lake);
    area(p, QPolygon(QRect(168, 440, 18, 22)), Harbor);
    area(p, QPolygon(QRect(10, 448, 96, 66)), Airport);
    line(p, {18, 500}, {98, 462}, Runway, 6);
    // The ferry leaves the harbour across the water.
    line(p, {186, 452}, {296, 452}, FerryBack, 6);
    line(p, {186, 452}, {296, 452}, FerryDots, 2, Qt::DotLine);
    label(p, 210, 462, QStringLiteral("FERRY"), FerryText, 1);
    line(p, {0, 340}, {140, 340}, Borders, 2, Qt::DashDotLine);
    // Railway: dashes of its two colours in turn.
    line(p, {0, 225}, {300, 225}, RailB, 3);
    line(p, {0, 225}, {300, 225}, RailA, 3, Qt::DashLine);
}

void drawRoads(QPainter &p)
{
    // Route first: its background shows on both sides of the roads it follows.
    const QPolygon route({QPoint(120, 520), QPoint(120, 250), QPoint(300, 250)});
    path(p, route, RouteBack, 18);

    road(p, QPolygon({QPoint(0, 190), QPoint(150, 190), QPoint(300, 190)}), LocalEdge, LocalInside, 8);
    road(p, QPolygon({QPoint(210, 150), QPoint(210, 330)}), LocalEdge, LocalInside, 8);
    road(p, QPolygon({QPoint(150, 150), QPoint(300, 215)}), ConnectingEdge, ConnectingInside, 9);
    road(p, QPolygon({QPoint(100, 300), QPoint(300, 300)}), SecondaryEdge, SecondaryInside, 10);
    // The major road is international west of the motorway.
    path(p, QPolygon({QPoint(0, 250), QPoint(300, 250)}), MajorEdge, 12);
    path(p, QPolygon({QPoint(0, 250), QPoint(120, 250)}), InternationalInside, 8);
    path(p, QPolygon({QPoint(120, 250), QPoint(300, 250)}), MajorInside, 8);
    road(p, QPolygon({QPoint(120, 150), QPoint(120, 520)}), MotorwayEdge, MotorwayInside, 12);
    // A toll stretch of the motorway, south of the route's turn.
    path(p, QPolygon({QPoint(120, 400), QPoint(120, 440)}), TollEdge, 12);
    path(p, QPolygon({QPoint(120, 400), QPoint(120, 440)}), TollInside, 8);

    label(p, 126, 156, QStringLiteral("A2"), MotorwayText);
    label(p, 8, 232, QStringLiteral("E30"), MajorText);
    label(p, 230, 308, QStringLiteral("S7"), SecondaryText);
    label(p, 250, 222, QStringLiteral("DK5"), ConnectingText);
    label(p, 214, 200, QStringLiteral("RYNEK"), LocalText, 1);
    label(p, 8, 198, QStringLiteral("PARK"), DestinationText, 1);

    // What lies on top of roads.
    path(p, route, RouteFore, 4);
    line(p, {12, 250}, {100, 250}, Jam, 4, Qt::DotLine);
    line(p, {220, 300}, {290, 300}, Blocked, 4, Qt::DotLine);
    line(p, {210, 150}, {210, 180}, Unreachable, 4, Qt::DotLine);
    line(p, {156, 153}, {200, 172}, Highlighted, 2);
    arrow(p, {160, 300}, 1, Arrows, ArrowsBorder, 8);
    arrow(p, {190, 300}, 1, Arrows, ArrowsBorder, 8);
    arrow(p, {150, 250}, 1, RouteArrow, RouteArrow, 14);
    arrow(p, {270, 250}, 1, RouteArrowHigh, RouteArrowHigh, 14);
}

void drawPanels(QPainter &p)
{
    // The next motorway and its exit, above the map.
    box(p, QRect(0, 0, 200, 56), HighwayBack, HighwayBorder, 3);
    label(p, 12, 14, QStringLiteral("A2"), HighwayText, 3);
    box(p, QRect(200, 0, 100, 56), ExitBack, ExitBorder, 3);
    label(p, 212, 14, QStringLiteral("EXIT"), ExitText, 2);
    label(p, 232, 34, QStringLiteral("15"), ExitText, 1);
    // The status panel below the map, with the route planning's progress.
    box(p, QRect(0, 524, 300, 76), PanelBack, PanelBorder, 3);
    label(p, 12, 534, QStringLiteral("12:45"), PanelText, 3);
    label(p, 180, 538, QStringLiteral("ETA"), PanelDim, 2);
    label(p, 180, 558, QStringLiteral("7 KM"), PanelDim, 2);
    p.fillRect(QRect(12, 582, 180, 8), code(Progress));
}

QImage draw()
{
    QImage rgb(ClrPreview::Width, ClrPreview::Height, QImage::Format_RGB32);
    rgb.fill(code(Background));
    {
        QPainter p(&rgb);
        p.setRenderHint(QPainter::Antialiasing, false);
        drawDistance(p);
        drawAreas(p);
        drawRoads(p);
        drawPanels(p);
    }
    QImage out(rgb.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < ClrPreview::TableSize; ++i)
        table << qRgb(i * 3, i * 3, i * 3);
    out.setColorTable(table);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *px = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            px[x] = uchar(qRed(in[x]) - 1);
    }
    return out;
}

} // namespace

QImage ClrPreview::builtIn()
{
    static const QImage picture = draw();
    return picture;
}

QImage ClrPreview::load(const QString &folder)
{
    const QString path = QDir(folder).filePath(QLatin1String(ReplacementName));
    if (QFile::exists(path)) {
        const std::optional<QByteArray> bytes = FileReader::read(path, FileReader::MaxPictureBytes);
        const QImage replacement = bytes ? QImage::fromData(*bytes) : QImage();
        if (!replacement.isNull())
            return replacement;
    }
    return builtIn();
}

ClrPreview::Outcome ClrPreview::apply(QImage &picture, const std::vector<quint32> &colors)
{
    if (colors.size() > 256)
        return Outcome::TooManyEntries;
    if (picture.format() != QImage::Format_Indexed8 || picture.colorCount() == 0)
        return Outcome::NoColorTable;
    QList<QRgb> table = picture.colorTable();
    const qsizetype n = std::min<qsizetype>(table.size(), qsizetype(colors.size()));
    for (qsizetype i = 0; i < n; ++i) {
        const quint32 c = Clr::resolveColor(colors[size_t(i)]);
        table[i] = qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    }
    picture.setColorTable(table);
    return Outcome::Applied;
}

QString ClrPreview::noColorTableMessage()
{
    return QCoreApplication::translate("Clr", "ERROR, System did not change palette, bitmap may be 24bit");
}
