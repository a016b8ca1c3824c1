// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/SampleItineraries.h"

#include "itn/ItnFormat.h"
#include "platform/DeviceCodec.h"

#include <QDir>

#include <cmath>

namespace {

struct Stop {
    double lon, lat;
    const char16_t *name;
    int flag;
};

void addRow(TRBParamsTable &t, double lon, double lat, const QString &name, int flag)
{
    t.AppendFields({QString(), QString::number(qint64(std::trunc(lon * 100000))),
                    QString::number(qint64(std::trunc(lat * 100000))), name, QString::number(flag)});
}

TRBParamsTable fromStops(std::initializer_list<Stop> stops)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({QStringLiteral("LP")});
    for (const Stop &s : stops)
        addRow(t, s.lon, s.lat, QString::fromUtf16(s.name), s.flag);
    return t;
}

// The Vistula from its spring to the sea, sampled into 100 points.
TRBParamsTable vistula()
{
    const Stop course[] = {
        {19.0008, 49.5744, u"Barania Góra", 4}, {18.8470, 49.6820, u"Wisła", 0},
        {18.9390, 49.9630, u"Goczałkowice", 0}, {19.9450, 50.0540, u"Kraków", 2},
        {20.9850, 50.0080, u"Tarnów", 0},       {21.7390, 50.6820, u"Sandomierz", 2},
        {21.9540, 51.3200, u"Puławy", 0},       {21.0120, 52.2290, u"Warszawa", 2},
        {19.6880, 52.5470, u"Płock", 0},        {18.6050, 53.0110, u"Toruń", 2},
        {18.0090, 53.1230, u"Bydgoszcz", 0},    {18.7530, 53.4840, u"Grudziądz", 0},
        {18.9490, 54.3500, u"Gdańsk", 0},       {18.9520, 54.3610, u"Ujście Wisły", 4},
    };
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({QStringLiteral("LP")});
    const int legs = int(std::size(course)) - 1;
    constexpr int points = 100;
    for (int i = 0; i < points; ++i) {
        const double pos = double(i) * legs / (points - 1);
        const int leg = std::min(int(pos), legs - 1);
        const double f = pos - leg;
        const Stop &a = course[leg], &b = course[leg + 1];
        const bool atStop = f < 1e-9 || i == points - 1;
        const Stop &named = i == points - 1 ? b : a;
        const QString name = atStop ? QString::fromUtf16(named.name)
                                    : QStringLiteral("Wisła km %1").arg(i * 10);
        addRow(t, a.lon + (b.lon - a.lon) * f, a.lat + (b.lat - a.lat) * f, name, atStop ? named.flag : 0);
    }
    return t;
}

} // namespace

QStringList writeSampleItineraries(const QString &itnFolder)
{
    QDir().mkpath(itnFolder);
    const QString dir = itnFolder.endsWith(u'/') ? itnFolder : itnFolder + u'/';
    const DeviceCodec codec = DeviceCodec::fromSettings();
    const TRBParamsTable krakow = fromStops({
        {19.93730, 50.06170, u"Rynek Główny", 4},
        {19.93560, 50.05400, u"Wawel", 1},
        {19.94460, 50.05140, u"Kazimierz", 0},
        {19.94080, 50.06530, u"Barbakan", 2},
        {19.94710, 50.06790, u"Dworzec Główny", 3},
    });
    const TRBParamsTable castles = fromStops({
        {19.61640, 50.09620, u"Ojców", 4},
        {19.81200, 50.21330, u"Pieskowa Skała", 0},
        {19.53180, 50.37960, u"Ogrodzieniec", 0},
        {19.44590, 50.46990, u"Mirów", 0},
        {19.43530, 50.48370, u"Bobolice", 0},
        {19.17220, 50.74250, u"Olsztyn", 0},
        {19.12000, 50.81160, u"Częstochowa", 3},
    });
    QStringList written;
    written += Itn::writeRows(dir + QStringLiteral("Krakow.itn"), krakow, false, codec);
    written += Itn::writeRows(dir + QStringLiteral("Orle_Gniazda.itn"), castles, false, codec);
    written += Itn::writeRows(dir + QStringLiteral("Wisla_100.itn"), vistula(), false, codec);
    written += Itn::writeRows(dir + QStringLiteral("temporary.iti"), krakow, false, codec);
    return written;
}
