// SPDX-License-Identifier: GPL-3.0-or-later
// The POI editor's feed imports with a local feed server: rows added and marked,
// the road-authority fallback to the stored list, the web and file imports, Cancel.
#include "grid/RBGrids.h"
#include "core/RBParamsTable.h"
#include "platform/Error.h"
#include "platform/HttpClient.h"
#include "poi/FeedDownload.h"
#include "poi/Feeds.h"
#include "poi/Ov2Editor.h"
#include "tests/poi/FeedHttp.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/QuietShell.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

const QByteArray roadWorks = "<utrudnienia><u><typ>Roboty</typ><geo_long>19.94</geo_long><geo_lat>50.06</geo_lat></u>"
                             "<u><typ>Bez miejsca</typ><geo_long>0</geo_long><geo_lat>50</geo_lat></u></utrudnienia>";
const QByteArray mobile = "<dane><utrudnienie><rodzaj_zdarzenia>Wypadek</rodzaj_zdarzenia><opoznienie>10 min</opoznienie>"
                          "<początek_odcinka><geo_long>19.1</geo_long><geo_lat>50.1</geo_lat></początek_odcinka>"
                          "<koniec_odcinka><geo_long>19.2</geo_long><geo_lat>50.2</geo_lat></koniec_odcinka>"
                          "</utrudnienie></dane>";

struct FeedEditor {
    TempFolder dir;
    FeedHttp server;
    QuietShell shell{dir.file("Korvix.ini")};
    QPointer<TOV2> w = new TOV2(shell);
    QStringList messages; // caption | text

    FeedEditor()
    {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->resize(600, 400);
        w->dialogs.message = [this](QWidget *, const QString &caption, const QString &text, const QString &) {
            messages << caption + "|" + text;
        };
        for (const char *key : {"GddkiaServer", "KrakowServer", "ZakopaneServer"})
            shell.settings().WriteString("Settings", key, server.server());
        server.answers[Feeds::GddkiaPath] = {"200 OK", roadWorks};
        server.answers[Feeds::GddkiaMobiPath] = {"200 OK", mobile};
    }
    ~FeedEditor() { delete w.data(); }
    // Rows as "lon lat description flags".
    QStringList rows()
    {
        QStringList out;
        for (int r = 1; r < w->grid()->RowCount(); ++r) {
            if (w->grid()->GetCell(1, r).isEmpty() && w->grid()->GetCell(3, r).isEmpty())
                continue;
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(w->grid()->GetCell(1, r), w->grid()->GetCell(2, r), w->grid()->GetCell(3, r))
                       .arg(w->grid()->GetCellFlags(1, r) & 0xFF, 0, 16);
        }
        return out;
    }
};

TEST(FeedEditor, RoadAuthorityFillsTheFolderListWithBothFeeds)
{
    FeedEditor e;
    QImage badge(8, 8, QImage::Format_ARGB32);
    badge.fill(Qt::red);
    e.w->GDKIA(e.dir.path(), badge);
    EXPECT_EQ(e.messages, QStringList{});
    EXPECT_EQ(e.rows(), (QStringList{"1994000 5006000 Roboty 30", "1910000 5010000 Początek Wypadek 10 min 30",
                                     "1920000 5020000 Koniec Wypadek 10 min 30"}));
    EXPECT_EQ(e.w->FileName, e.dir.file("GDDKIA.ov2"));
    EXPECT_NE(e.w->DirtyMask & TOV2::ListBit, 0);
    EXPECT_EQ(e.server.paths, (QList<QByteArray>{Feeds::GddkiaPath, Feeds::GddkiaMobiPath}));
    EXPECT_EQ(e.w->smallIcon().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(e.w->smallIcon().pixelColor(7, 7), QColor(Qt::red));
    EXPECT_NE(e.w->smallIcon().pixelColor(20, 20), QColor(Qt::red));
    // From the menu the file name stays.
    FeedEditor menu;
    menu.w->FileName = menu.dir.file("mine.ov2");
    menu.w->GDKIA(QString(), QImage());
    EXPECT_EQ(menu.w->FileName, menu.dir.file("mine.ov2"));
    EXPECT_EQ(menu.rows().size(), 3);
}

TEST(FeedEditor, AFailedRoadAuthorityDownloadOpensTheStoredList)
{
    FeedEditor e;
    e.dir.write("GDDKIA.ov2", Ov2Bytes().poi(1993500, 5006200, "Stored"));
    e.server.answers[Feeds::GddkiaMobiPath] = {"503 Service Unavailable", ""};
    e.w->GDKIA(e.dir.path(), QImage());
    const QString mobi = Feeds::feedUrl(e.server.server(), Feeds::GddkiaMobiPath).toString();
    EXPECT_EQ(e.messages, QStringList{"Error|Can't open \"" + mobi + "\"\nThe existing file will be opened, if exists."});
    EXPECT_EQ(e.rows(), QStringList{"1993500 5006200 Stored 0"});
    EXPECT_EQ(e.w->FileName, e.dir.file("GDDKIA.ov2"));

    // Without a stored list the reader says so too; an XML error counts as a failure.
    FeedEditor none;
    none.server.answers[Feeds::GddkiaPath] = {"200 OK", "<utrudnienia><u>"};
    none.w->GDKIA(none.dir.path(), QImage());
    ASSERT_EQ(none.messages.size(), 2);
    EXPECT_TRUE(none.messages[0].contains(Feeds::GddkiaPath)) << none.messages[0].toStdString();
    EXPECT_TRUE(none.messages[1].startsWith("Error|Can't open OV2 file")) << none.messages[1].toStdString();
}

TEST(FeedEditor, CityFeedsAddTheirRowsAndReportErrors)
{
    FeedEditor e;
    e.server.answers[Feeds::KrakowPath] = {"200 OK", "\xEF\xBB\xBF<data><marker long=\"19.94\" lat=\"50.06\" desc=\"Rynek\"/>"
                                                     "<marker long=\"20.4\" lat=\"50.06\" desc=\"far\"/>"
                                                     "<marker long=\"?\" lat=\"50\" desc=\"bad\"/></data>"};
    e.server.answers[Feeds::ZakopanePath] = {"200 OK", "<dane><marker lon=\"19.95\" lat=\"49.29\" nazwa=\" Willa \"/></dane>"};
    try {
        e.w->KrakwUtrudnienia1Click();
        ADD_FAILURE() << "the bad marker must end the import";
    } catch (const KorvixError &err) {
        EXPECT_EQ(err.message(), Feeds::notNumberMessage("?"));
    }
    e.w->ZakopaneKwatery1Click();
    EXPECT_EQ(e.rows(), (QStringList{"1994000 5006000 Rynek 30", "1995000 4929000 Willa 30"}));
    EXPECT_EQ(e.w->DirtyMask, TOV2::AllBits);
    e.server.answers.remove(Feeds::ZakopanePath);
    EXPECT_THROW(e.w->ZakopaneKwatery1Click(), KorvixError);
    EXPECT_EQ(e.rows().size(), 2);
}

TEST(FeedEditor, WebPageAndMapSettingsImports)
{
    FeedEditor e;
    e.server.answers["/mapa.html"] = {"200 OK", "<script>new GLatLng(50.06,19.94);</script>"};
    QString answer = e.server.server() + "/mapa.html";
    QString proposed;
    e.w->dialogs.inputText = [&](QWidget *, const QString &, const QString &, const QString &def, bool &ok) {
        proposed = def;
        ok = true;
        return answer;
    };
    e.w->WEB1Click();
    EXPECT_EQ(proposed, "http:\\\\");
    EXPECT_EQ(e.rows(), QStringList{"1994000 5006000 " + answer + " 30"});
    answer = proposed; // the proposal left as it was: nothing happens
    e.w->WEB1Click();
    EXPECT_EQ(e.server.paths.size(), 1);

    const QString cfg = e.dir.write("MapSettings.cfg", Ov2Bytes().raw("xx").u8(8).u8(0).le32(0).le32(0).le16(8)
                                                           .le32(1993500).le32(5006200).u8(0).raw("Home").u8(0));
    e.w->dialogs.openFile = [&](QWidget *, const QString &, const QStringList &) { return cfg; };
    e.w->MapSettingscfg1Click();
    EXPECT_EQ(e.rows().last(), "1993500 5006200 Home 30");
    e.w->dialogs.openFile = [&](QWidget *, const QString &, const QStringList &) { return e.dir.file("gone.cfg"); };
    EXPECT_THROW(e.w->MapSettingscfg1Click(), KorvixError);
}

TEST(FeedEditor, AMapSettingsFifoOrDeviceIsRefusedAtOnceAndAddsNothing)
{
    FeedEditor e;
    const QString fifo = e.dir.file("MapSettings.cfg");
    ASSERT_TRUE(makeFifo(fifo));
    const QString zero = e.dir.file("zero.cfg");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QStringList before = e.rows();
    for (const QString &path : {fifo, zero}) {
        e.w->dialogs.openFile = [&](QWidget *, const QString &, const QStringList &) { return path; };
        FifoGuard guard({fifo});
        QString message;
        try {
            e.w->MapSettingscfg1Click();
        } catch (const KorvixError &error) {
            message = error.message();
        }
        guard.stop();
        EXPECT_FALSE(guard.hadToRelease());
        EXPECT_EQ(message, "Not a regular file: " + path);
    }
    EXPECT_EQ(e.rows(), before);
}

TEST(FeedEditor, CancelEndsADownloadAndTheWindowStaysOpenMeanwhile)
{
    FeedEditor e;
    e.w->show();
    e.server.silent = true;
    bool closed = true, gridEnabled = true;
    QTimer::singleShot(200, e.w, [&] {
        auto *cancel = e.w->findChild<QPushButton *>("feedCancel");
        ASSERT_NE(cancel, nullptr);
        gridEnabled = e.w->grid()->isEnabled();
        closed = e.w->close();
        cancel->click();
    });
    EXPECT_THROW(e.w->ZakopaneKwatery1Click(), KorvixError);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(gridEnabled);
    EXPECT_TRUE(e.w->grid()->isEnabled());
    EXPECT_EQ(e.w->findChild<QPushButton *>("feedCancel"), nullptr);
    EXPECT_TRUE(e.w->isVisible());
}

TEST(FeedEditor, ImportMenuOffersTheSources)
{
    FeedEditor e;
    QStringList texts;
    for (const QAction *a : e.w->importMenu()->actions())
        texts << a->text();
    for (const char *t : {"GDDKiA Utrudnienia", "Kraków Utrudnienia", "Zakopane Kwatery", "WEB", "MapSettings.cfg"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(t))) << t;
    EXPECT_TRUE(e.w->importMenu()->menuAction()->isVisible());
}

// The GoogleMaps submenu's entry with this caption.
QAction *googleMaps(TOV2 &w, const QString &caption)
{
    for (const QAction *a : w.importMenu()->actions())
        if (a->menu() && a->text() == "GoogleMaps")
            for (QAction *entry : a->menu()->actions())
                if (entry->text() == caption)
                    return entry;
    return nullptr;
}

QByteArray kml(const QByteArray &placemarks)
{
    return "<?xml version=\"1.0\"?><kml><Document>" + placemarks + "</Document></kml>";
}

TEST(FeedEditor, GoogleMapsKmlFileAddsPlacemarksAsOneStepBack)
{
    FeedEditor e;
    QAction *action = googleMaps(*e.w, "Kml");
    ASSERT_NE(action, nullptr);
    const QString file = e.dir.write(
        "route.kml", kml("<Placemark><name>Rynek</name><address>Kraków</address>"
                         "<Point><coordinates>19.9373,50.0617,0</coordinates></Point></Placemark>"
                         "<Placemark><name>Roboty\r\nna moście</name>"
                         "<Point><coordinates>19.94,50.05,0</coordinates></Point></Placemark>"
                         "<Placemark><name>no altitude</name><Point><coordinates>1,2</coordinates></Point></Placemark>"));
    QStringList filters;
    QString chosen = file;
    e.w->dialogs.openFile = [&](QWidget *, const QString &, const QStringList &offered) {
        filters = offered;
        return chosen;
    };
    action->trigger();
    EXPECT_EQ(filters.value(0), "Kml file (*.kml)");
    EXPECT_EQ(e.messages, QStringList{});
    EXPECT_EQ(e.rows(), (QStringList{"1993730 5006170 Kraków : Rynek 30", "1994000 5005000 : Robotyna moście 30"}));
    EXPECT_EQ(e.w->DirtyMask, 7);
    // The whole file is one step back.
    e.w->grid()->UndoStack()->undo();
    EXPECT_EQ(e.rows(), QStringList{});

    // A file that is no KML says so and adds nothing.
    chosen = e.dir.write("broken.kml", kml("<Placemark><name>first</name><Point><coordinates>1,2,0</coordinates>"
                                           "</Point></Placemark>").chopped(6));
    action->trigger();
    EXPECT_EQ(e.messages, QStringList{"Error|Invalid Kml file"});
    EXPECT_EQ(e.rows(), QStringList{});
    // A cancelled dialog adds nothing.
    const QStringList before = e.rows();
    chosen.clear();
    action->trigger();
    EXPECT_EQ(e.rows(), before);
}

TEST(FeedEditor, GoogleMapsLinkAddsItsPointOrTheKmlItsSiteAnswers)
{
    FeedEditor e;
    QAction *action = googleMaps(*e.w, "Link");
    ASSERT_NE(action, nullptr);
    QString clipboard = "https://www.google.com/maps/place/Sukiennice/@50.0617,19.9373,17z";
    e.w->dialogs.clipboardText = [&] { return clipboard; };
    action->trigger();
    EXPECT_EQ(e.rows(), QStringList{"1993730 5006170 Sukiennice 30"});
    EXPECT_TRUE(e.server.paths.isEmpty()) << "a link with its point needs no download";

    e.server.answers["/maps?q=Krakow&output=kml"] = {
        "200 OK", kml("<Placemark><name>Wawel</name><Point><coordinates>19.935,50.054,0</coordinates></Point>"
                      "</Placemark>")};
    clipboard = e.server.server() + "/maps?q=Krakow&output=html";
    action->trigger();
    EXPECT_EQ(e.server.paths, QList<QByteArray>{"/maps?q=Krakow&output=kml"});
    EXPECT_EQ(e.rows().value(1), "1993500 5005400 : Wawel 30");

    clipboard = "not a link";
    action->trigger();
    EXPECT_EQ(e.messages, QStringList{"Uwaga!|Pobierz link z GoogleMaps do schowka (Ctrl+C)"});
    // A failed download goes to the error box, the list unchanged.
    clipboard = e.server.server() + "/gone";
    EXPECT_THROW(e.w->Link1Click(), KorvixError);
    EXPECT_EQ(e.rows().size(), 2);
}

} // namespace
