// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VoiceTables.h"

#include <QCoreApplication>

#include <array>
#include <utility>

namespace VoiceTables {
namespace {

// The descriptions keep the blanks some of them end in: the table trims them, the
// translations are looked up by the text as it stands.
const std::array<Phrase, PhraseCount> Phrases{{
    {"After.ogg", QT_TRANSLATE_NOOP("TVoice", "After"), QT_TRANSLATE_NOOP("TVoiceSpeech", "After")},
    {"50.ogg", QT_TRANSLATE_NOOP("TVoice", "50"), QT_TRANSLATE_NOOP("TVoiceSpeech", "50")},
    {"80.ogg", QT_TRANSLATE_NOOP("TVoice", "80"), QT_TRANSLATE_NOOP("TVoiceSpeech", "80")},
    {"100.ogg", QT_TRANSLATE_NOOP("TVoice", "100"), QT_TRANSLATE_NOOP("TVoiceSpeech", "100")},
    {"200.ogg", QT_TRANSLATE_NOOP("TVoice", "200"), QT_TRANSLATE_NOOP("TVoiceSpeech", "200")},
    {"300.ogg", QT_TRANSLATE_NOOP("TVoice", "300"), QT_TRANSLATE_NOOP("TVoiceSpeech", "300")},
    {"400.ogg", QT_TRANSLATE_NOOP("TVoice", "400"), QT_TRANSLATE_NOOP("TVoiceSpeech", "400")},
    {"500.ogg", QT_TRANSLATE_NOOP("TVoice", "500"), QT_TRANSLATE_NOOP("TVoiceSpeech", "500")},
    {"600.ogg", QT_TRANSLATE_NOOP("TVoice", "600"), QT_TRANSLATE_NOOP("TVoiceSpeech", "600")},
    {"700.ogg", QT_TRANSLATE_NOOP("TVoice", "700"), QT_TRANSLATE_NOOP("TVoiceSpeech", "700")},
    {"800.ogg", QT_TRANSLATE_NOOP("TVoice", "800"), QT_TRANSLATE_NOOP("TVoiceSpeech", "800")},
    {"Meters.ogg", QT_TRANSLATE_NOOP("TVoice", "Metres"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Metres")},
    {"Arrive.ogg", QT_TRANSLATE_NOOP("TVoice", "You have reached your destination "),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "You have reached your destination")},
    {"TurnRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Turn Right"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Turn right")},
    {"2ndLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Take the second left"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Take the second left")},
    {"2ndRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Take the second right"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Take the second right")},
    {"3rdLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Take the third left"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Take the third left")},
    {"3rdRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Take the third right"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Take the third right")},
    {"AhExit.ogg", QT_TRANSLATE_NOOP("TVoice", "Exit ahead"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Exit ahead")},
    {"AhExitLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "ahead Exit left"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Exit left ahead")},
    {"AhExitRight.ogg", QT_TRANSLATE_NOOP("TVoice", "ahead Exit right"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Exit right ahead")},
    {"AhFerry.ogg", QT_TRANSLATE_NOOP("TVoice", "Ferry ahead"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Ferry ahead")},
    {"AhKeepLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Ahead keep left"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Ahead keep left")},
    {"AhKeepRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Ahead keep right"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Ahead keep right")},
    {"AhLeftTurn.ogg", QT_TRANSLATE_NOOP("TVoice", "Left turn ahead"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Left turn ahead")},
    {"AhRightTurn.ogg", QT_TRANSLATE_NOOP("TVoice", "Right turn ahead"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Right turn ahead")},
    {"AhUTurn.ogg", QT_TRANSLATE_NOOP("TVoice", "U-turn ahead"), QT_TRANSLATE_NOOP("TVoiceSpeech", "U-turn ahead")},
    {"BearLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Bear left"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Bear left")},
    {"BearRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Bear right"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Bear right")},
    {"Charge.ogg", QT_TRANSLATE_NOOP("TVoice", "Congestion charge"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Congestion charge")},
    {"Depart.ogg", QT_TRANSLATE_NOOP("TVoice", "Depart (only heard when you tap Test when selecting a voice)"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Depart")},
    {"KeepLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Keep left"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Keep left")},
    {"KeepRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Keep right"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Keep right")},
    {"LnLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Stay in the left lane"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Stay in the left lane")},
    {"LnRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Stay in the right lane"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Stay in the right lane")},
    {"MwEnter.ogg", QT_TRANSLATE_NOOP("TVoice", "Take the motorway "),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Take the motorway")},
    {"MwExit.ogg", QT_TRANSLATE_NOOP("TVoice", "Leave the motorway "),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Leave the motorway")},
    {"MwExitLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Leave the motorway at the exit on the left"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Leave the motorway at the exit on the left")},
    {"MwExitRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Leave the motorway at the exit on the right"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Leave the motorway at the exit on the right")},
    {"RbBack.ogg", QT_TRANSLATE_NOOP("TVoice", "Go around the roundabout"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Go around the roundabout")},
    {"RbCross.ogg", QT_TRANSLATE_NOOP("TVoice", "Cross the roundabout"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Cross the roundabout")},
    {"RbExit1.ogg", QT_TRANSLATE_NOOP("TVoice", "First exit"), QT_TRANSLATE_NOOP("TVoiceSpeech", "First exit")},
    {"RbExit2.ogg", QT_TRANSLATE_NOOP("TVoice", "Second exit"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Second exit")},
    {"RbExit3.ogg", QT_TRANSLATE_NOOP("TVoice", "Third exit"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Third exit")},
    {"RbExit4.ogg", QT_TRANSLATE_NOOP("TVoice", "Fourth exit"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Fourth exit")},
    {"RbExit5.ogg", QT_TRANSLATE_NOOP("TVoice", "Fifth exit"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Fifth exit")},
    {"RbExit6.ogg", QT_TRANSLATE_NOOP("TVoice", "Sixth exit"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Sixth exit")},
    {"RbLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Go left on the roundabout"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Go left on the roundabout")},
    {"RbRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Go right on the roundabout"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Go right on the roundabout")},
    {"RoadEnd.ogg", QT_TRANSLATE_NOOP("TVoice", "At the end of the road"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "At the end of the road")},
    {"SharpLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Sharp left "), QT_TRANSLATE_NOOP("TVoiceSpeech", "Sharp left")},
    {"SharpRight.ogg", QT_TRANSLATE_NOOP("TVoice", "Sharp right "), QT_TRANSLATE_NOOP("TVoiceSpeech", "Sharp right")},
    {"Straight.ogg", QT_TRANSLATE_NOOP("TVoice", "Go straight on"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Go straight on")},
    {"TakeFerry.ogg", QT_TRANSLATE_NOOP("TVoice", "Take the ferry"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Take the ferry")},
    {"Then.ogg", QT_TRANSLATE_NOOP("TVoice", "Then"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Then")},
    {"TryUTurn.ogg", QT_TRANSLATE_NOOP("TVoice", "Turn around when possible"),
     QT_TRANSLATE_NOOP("TVoiceSpeech", "Turn around when possible")},
    {"TurnLeft.ogg", QT_TRANSLATE_NOOP("TVoice", "Turn left"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Turn left")},
    {"UTurn.ogg", QT_TRANSLATE_NOOP("TVoice", "Make a U-turn"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Make a U-turn")},
    {"Yards.ogg", QT_TRANSLATE_NOOP("TVoice", "Yards"), QT_TRANSLATE_NOOP("TVoiceSpeech", "Yards")},
}};

// Only the codes that have a name; the others are offered as the bare number.
const std::pair<int, const char *> NamedLanguages[] = {
    {0, "English"}, {1, "Deutsch"}, {2, "English US"}, {3, "Francais"}, {4, "Espanol"}, {5, "Italiano"},
    {6, "Nederlands"}, {7, "Vlaams"}, {8, "Dansk"}, {9, "Svenska"}, {10, "Suomi"}, {11, "Portuguese"},
    {12, "Norsk"}, {13, "Polish"}, {14, "Czech"}, {15, "Turkish"}, {16, "Hungarian"}, {17, "Estonian"},
    {18, "Latvian"}, {19, "Lithuanian"}, {20, "Catalan"}, {21, "Slovak"}, {22, "South African"},
    {23, "Simplified Chinese"}, {24, "Traditional Chinese"}, {101, "French (Canada)"},
    {102, "Portuguese Brazil"}, {103, "Spanish (Mexican)"}, {104, "English (Australian)"}, {105, "Romanian"},
    {106, "Srpski"}, {107, "Hrvatski"}, {108, "Greek"}, {109, "Russkii"}, {110, "Bulgarian"},
    {113, "Japanese"}, {114, "Thai"}, {115, "Malay"}, {117, "Taiwanese"}, {118, "Taiwanese Mandarin"},
    {119, "Taiwan Hakka"}, {120, "English (Irish)"}, {121, "South African"}, {174, "English (New Zealand)"},
};

const std::pair<int, const char *> NamedFlags[] = {
    {100, "Austria"}, {101, "Netherlands"}, {102, "Germany"}, {103, "Custom"}, {104, "Sweden"},
    {105, "Finland"}, {106, "Denmark"}, {107, "Norway"}, {108, "Spain"}, {109, "Portugal"},
    {110, "England"}, {111, "Italy"}, {112, "Belgium"}, {113, "France"}, {114, "USA"},
    {115, "Switzerland"}, {119, "Taiwanese"}, {120, "Ireland"}, {121, "Luxemburg"}, {122, "Andorra"},
    {123, "Liechtenstein"}, {200, "Polish"}, {201, "Czech"}, {202, "Slovak"}, {203, "Australia"},
    {204, "Russian"}, {205, "Rumania"}, {206, "Serbia"}, {207, "Croat"}, {208, "Greece"},
    {209, "Turkey"}, {210, "Bulgaria"}, {211, "Canada"}, {212, "Chinese Cantonese"},
    {213, "Chinese Mandarin"}, {214, "Hungary"}, {215, "Japan"}, {216, "Thai"}, {217, "Malay"},
    {218, "Mexico"}, {219, "Brazil"}, {220, "Lithuania"}, {221, "Estonia"}, {222, "Latvia"},
    {223, "Monaco"}, {225, "South African"},
};

template <size_t N>
QStringList numberedList(int first, int count, const std::pair<int, const char *> (&named)[N])
{
    QStringList list;
    list.reserve(count);
    for (int code = first; code < first + count; ++code)
        list.append(QString::number(code));
    for (const auto &[code, name] : named)
        list[code - first] = QString::fromLatin1(name);
    return list;
}

} // namespace

const Phrase &phrase(int k)
{
    return Phrases.at(size_t(k - 1));
}

QString phraseDescription(int k)
{
    return QCoreApplication::translate("TVoice", phrase(k).description).trimmed();
}

QString phraseSpeech(int k)
{
    return QCoreApplication::translate("TVoiceSpeech", phrase(k).spoken);
}

QStringList genders()
{
    return {QCoreApplication::translate("TVoice", "Young"), QCoreApplication::translate("TVoice", "Female"),
            QCoreApplication::translate("TVoice", "Male")};
}

QStringList languages()
{
    return numberedList(0, LanguageCount, NamedLanguages);
}

QStringList flags()
{
    return numberedList(FlagBase, FlagCount, NamedFlags);
}

} // namespace VoiceTables
