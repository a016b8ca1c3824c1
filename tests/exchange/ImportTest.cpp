// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParams.h"
#include "itn/ItnFormat.h"
#include "exchange/KmlImport.h"
#include "exchange/MapLink.h"
#include "exchange/TargeoImport.h"
#include "platform/Error.h"
#include "platform/HttpClient.h"

#include "tests/itn/LocalHttp.h"

#include <QDomDocument>
#include <QRandomGenerator>

#include <optional>

#include <gtest/gtest.h>

using namespace Itn;

namespace {
QByteArray kml(const QByteArray &inner)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">" + inner
           + "</kml>";
}
QByteArray placemark(const QByteArray &name, const QByteArray &coordinates, const QByteArray &extra = {})
{
    return "<Placemark>" + (name.isNull() ? QByteArray() : "<name>" + name + "</name>") + extra + "<Point><coordinates>"
           + coordinates + "</coordinates></Point></Placemark>";
}
} // namespace

TEST(KmlImport, PlacemarksOfTheFirstDocument)
{
    const KmlPoints k = ImportKML(kml("<Document><name>d</name>" + placemark("Rynek", "19.93,50.06,0")
                                      + placemark("Wawel", "19.935,50.054,0", "<address>Kraków</address>")
                                      + placemark("NoAltitude", "19.93,50.06") + "<Placemark><name>NoPoint</name></Placemark>"
                                      + "<Folder>" + placemark("Nested", "1,2,0") + "</Folder>"
                                      + placemark(QByteArray(), "\n   19.9,50.1,0\n  ") + "</Document>"
                                      + "<Document>" + placemark("Second", "1,2,0") + "</Document>"));
    EXPECT_TRUE(k.valid);
    ASSERT_EQ(k.points.size(), 3u);
    EXPECT_EQ(k.points[0], (ImportedPoint{"19.93", "50.06", " : Rynek"}));
    EXPECT_EQ(k.points[1].name, QString::fromUtf8("Kraków : Wawel"));
    EXPECT_EQ(k.points[2].name, "?");
    // What AddItn stores of the first.
    const PointCells c = pointCells(k.points[0].lon, k.points[0].lat, k.points[0].name);
    EXPECT_EQ(c.lon, "1993000");
    EXPECT_EQ(c.lat, "5006000");
    EXPECT_EQ(c.name, ": Rynek");
    EXPECT_EQ(pointCells(k.points[2].lon, k.points[2].lat, k.points[2].name).lon, "1990000");
}

TEST(KmlImport, FolderWhenThereIsNoDocumentAndInvalidFiles)
{
    KmlPoints k = ImportKML(kml("<Folder>" + placemark("A", "1.5,2.5,0") + "</Folder>"));
    EXPECT_TRUE(k.valid);
    ASSERT_EQ(k.points.size(), 1u);
    for (const QByteArray &bad : {QByteArray("not xml at all"), QByteArray("<html><body>x</body></html>"),
                                  kml("<Placemark/>"), QByteArray(), QByteArray("<kml><Document>")}) {
        k = ImportKML(bad);
        EXPECT_FALSE(k.valid) << bad.toStdString();
        EXPECT_TRUE(k.points.empty());
    }
    EXPECT_EQ(invalidKmlMessage(), "Invalid Kml file");
}

TEST(KmlImport, EntitiesAreNeverResolved)
{
    const QByteArray xxe = "<?xml version=\"1.0\"?><!DOCTYPE kml [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                           "<kml><Document><Placemark><name>&x;</name><Point><coordinates>1,2,0</coordinates>"
                           "</Point></Placemark></Document></kml>";
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE kml [<!ENTITY a \"lol\">";
    for (int i = 1; i < 10; ++i) {
        const QByteArray prev = "&" + QByteArray(1, char('a' + i - 1)) + ";";
        laughs += "<!ENTITY " + QByteArray(1, char('a' + i)) + " \"" + prev.repeated(10) + "\">";
    }
    laughs += "]><kml><Document><Placemark><name>&j;</name><Point><coordinates>1,2,0</coordinates></Point>"
              "</Placemark></Document></kml>";
    for (const QByteArray &hostile : {xxe, laughs}) {
        const KmlPoints k = ImportKML(hostile);
        EXPECT_FALSE(k.valid);
        EXPECT_TRUE(k.points.empty());
        QString text = QString::fromUtf8(hostile);
        EXPECT_FALSE(KmlPasteRows(text)) << "pasted as plain text";
        EXPECT_EQ(text, QString::fromUtf8(hostile));
    }
    // Absurd nesting is refused instead of exhausting the stack.
    const QByteArray deep = kml("<Document>" + QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000)
                                + "</Document>");
    EXPECT_FALSE(ImportKML(deep).valid);
}

TEST(KmlPaste, RowsFromEveryDocumentAndFolder)
{
    QString text = QString::fromUtf8(kml("<Document>" + placemark("Own", "19.93,50.06") + "<Folder>"
                                         + placemark("In folder", "20.5,51.25,100") + "</Folder>"
                                         + placemark("After", "-1.5 , 2") + "</Document>"));
    EXPECT_TRUE(KmlPasteRows(text));
    // Folders first (with the siblings after the first folder), then the document's own.
    EXPECT_EQ(text, QStringLiteral("2050000\t5125000\tIn folder\r\n1993000\t5006000\tOwn\r\n-150000\t200000\tAfter"));
    QString none = QString::fromUtf8(kml("<Document><name>x</name></Document>"));
    EXPECT_TRUE(KmlPasteRows(none));
    EXPECT_TRUE(none.isEmpty());
    QString rows = QStringLiteral("1\t2\tx\r\n3\t4\ty");
    EXPECT_FALSE(KmlPasteRows(rows));
    EXPECT_EQ(rows, QStringLiteral("1\t2\tx\r\n3\t4\ty"));
    QString tabbed = QString::fromUtf8(kml("<Document>" + placemark("a\tb", "1,2") + "</Document>"));
    KmlPasteRows(tabbed);
    EXPECT_EQ(tabbed, QStringLiteral("100000\t200000\ta b"));
}

TEST(Targeo, SlotsInRouteOrder)
{
    const QString atm = QStringLiteral("[route]\r\n1::ptGeo=50.1&19.1\r\nStart::ptGeo=50.0&19.0\r\n"
                                       "Start::ptName=Home\r\nEnd::ptGeo=50.9&19.9\r\n0abc::ptGeo=50.05&19.05\r\n"
                                       "9::ptGeo=1&2\r\nbroken line\r\nEnd::ptGeo=51.0&20.0\r\nx::y\r\n"
                                       "7::ptGeo=nothing\n");
    const std::vector<ImportedPoint> route = ReadTargeoRoute(atm);
    ASSERT_EQ(route.size(), 5u);
    EXPECT_EQ(route[0], (ImportedPoint{"19.0", "50.0", "Start"}));
    EXPECT_EQ(route[1], (ImportedPoint{"19.05", "50.05", "0abc"}));
    EXPECT_EQ(route[2], (ImportedPoint{"19.1", "50.1", "1"}));
    EXPECT_EQ(route[3], (ImportedPoint{"", "", "7"})); // no "&": both parts empty
    EXPECT_EQ(route[4], (ImportedPoint{"20.0", "51.0", "End"})); // the later End wins
    EXPECT_TRUE(ReadTargeoRoute(u"").empty());
}

TEST(MapLink, CoordinatesTakenFromTheLinkItself)
{
    struct Case {
        const char *link, *lon, *lat, *name;
    };
    const Case cases[] = {
        {"https://www.google.com/maps/place/Wawel+Royal+Castle/@50.0540,19.9354,17z/data=!3m1!4b1!4m6!3m5!1s0x0:0x0!8m2!3d50.0543!4d19.9356",
         "19.9356", "50.0543", "Wawel Royal Castle"},
        {"https://www.google.com/maps/@50.0614,19.9372,15z", "19.9372", "50.0614", "50.0614,19.9372"},
        {"http://maps.google.com/?q=50.06,19.93", "19.93", "50.06", "50.06,19.93"},
        {"https://maps.google.com/maps?q=loc:-33.8568%2C151.2153&z=10", "151.2153", "-33.8568", "-33.8568,151.2153"},
        {"https://www.google.com/maps/search/?api=1&query=40.4168,-3.7038", "-3.7038", "40.4168", "40.4168,-3.7038"},
        {"http://maps.google.pl/maps?ll=52.2297,21.0122&spn=0.1,0.1", "21.0122", "52.2297", "52.2297,21.0122"},
        {"https://www.openstreetmap.org/#map=17/50.06170/19.93730", "19.93730", "50.06170", "50.06170,19.93730"},
        {"https://www.openstreetmap.org/?mlat=50.0617&mlon=19.9373#map=18/50.06/19.93", "19.9373", "50.0617",
         "50.0617,19.9373"},
        {"geo:50.0617,19.9373?z=17", "19.9373", "50.0617", "50.0617,19.9373"},
    };
    for (const Case &c : cases) {
        const auto p = pointFromMapLink(QString::fromUtf8(c.link));
        ASSERT_TRUE(p.has_value()) << c.link;
        EXPECT_EQ(p->lon, c.lon) << c.link;
        EXPECT_EQ(p->lat, c.lat) << c.link;
        EXPECT_EQ(p->name, QString::fromUtf8(c.name)) << c.link;
    }
    for (const char *none : {"http://maps.google.com/maps?f=q&hl=pl&q=Krakow", "https://www.google.com/maps/@95.1,19.9,15z",
                             "ftp://x/?q=50,19", "hello", "", "https://www.openstreetmap.org/#map=17/500/19"})
        EXPECT_FALSE(pointFromMapLink(QString::fromUtf8(none)).has_value()) << none;
}

TEST(MapLink, OutputKmlRewriteAndPort)
{
    EXPECT_EQ(kmlRequestUrl("http://maps.google.com/maps?q=Krakow&output=html"),
              "http://maps.google.com/maps?q=Krakow&output=kml");
    EXPECT_EQ(kmlRequestUrl("http://maps.google.com/maps?OUTPUT=js&q=x"), "http://maps.google.com/maps?output=kml&q=x");
    EXPECT_EQ(kmlRequestUrl("http://maps.google.com/maps?q=Krakow"), "http://maps.google.com/maps?q=Krakow&output=kml");
    EXPECT_TRUE(isHttpLink("http://x/"));
    EXPECT_FALSE(isHttpLink("https://x/"));
    EXPECT_FALSE(isHttpLink("HTTP://x/"));
    EXPECT_FALSE(isHttpLink("maps.google.com"));
    EXPECT_EQ(fetchUrl("http://maps.google.com/maps?q=x").port(), 80);
    EXPECT_EQ(fetchUrl("http://maps.google.com:8080/maps").port(), 8080);
    const QUrl bad = fetchUrl("http://maps.google.com:8o/maps?q=x");
    EXPECT_EQ(bad.host(), "maps.google.com");
    EXPECT_EQ(bad.port(), 80);
}

TEST(MapLinkFetch, KmlFromALocalServer)
{
    LocalHttp server;
    server.body = kml("<Document>" + placemark("Rynek", "19.93,50.06,0") + "</Document>");
    HttpClient http;
    const QString link = server.url("/maps?q=Krakow&output=html");
    const QByteArray answer = fetchMapLink(http, fetchUrl(kmlRequestUrl(link)), 10000);
    const KmlPoints k = ImportKML(answer);
    ASSERT_EQ(k.points.size(), 1u);
    EXPECT_EQ(k.points[0].name, " : Rynek");
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_TRUE(server.requests[0].startsWith("GET /maps?q=Krakow&output=kml HTTP/1.1\r\n"));
    EXPECT_TRUE(server.requests[0].contains("User-Agent: Mozilla/3.0 (compatible; Indy Library)"));

    server.headers = "Content-Type: text/html\r\n";
    server.body = "<html><body><p>Not a map</p><br></body></html>";
    EXPECT_FALSE(ImportKML(fetchMapLink(http, fetchUrl(kmlRequestUrl(link)), 10000)).valid);

    server.status = "500 Internal Server Error";
    EXPECT_THROW(fetchMapLink(http, fetchUrl(kmlRequestUrl(link)), 10000), KorvixError);
}

TEST(MapLinkFetch, NoRedirectToAnotherHostAndNoServer)
{
    LocalHttp other;
    other.body = kml("<Document>" + placemark("Elsewhere", "1,2,0") + "</Document>");
    LocalHttp server;
    server.status = "302 Found";
    server.headers = "Location: http://localhost:" + QByteArray::number(other.serverPort()) + "/x\r\n";
    HttpClient http;
    try {
        fetchMapLink(http, fetchUrl(server.url("/maps?q=x")), 10000);
        ADD_FAILURE() << "redirect followed";
    } catch (const KorvixError &e) {
        EXPECT_TRUE(e.message().contains("localhost")) << e.message().toStdString();
    }
    EXPECT_TRUE(other.requests.isEmpty());
    // A port nobody listens on.
    const quint16 port = server.serverPort();
    server.close();
    EXPECT_THROW(fetchMapLink(http, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)), 10000), KorvixError);
}

TEST(MapLinkFetch, AnswersBeyondTheLimitAreRefused)
{
    LocalHttp server;
    server.body = kml("<Document>" + placemark("Rynek", "19.93,50.06,0") + "</Document>");
    HttpClient http;
    const QUrl url = fetchUrl(server.url("/maps?q=x"));
    EXPECT_EQ(fetchMapLink(http, url, 10000, server.body.size()), server.body);
    server.body += QByteArray(200000, ' ');
    try {
        fetchMapLink(http, url, 10000, 100000);
        ADD_FAILURE() << "read";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), "The answer of 127.0.0.1 is too large");
    }
}

// Mangled inputs give results or messages, never a crash or a hang.
TEST(ImportRobustness, MangledInputs)
{
    const QByteArray seeds[] = {
        kml("<Document>" + placemark("Rynek", "19.93,50.06,0", "<address>a</address>") + "<Folder>"
            + placemark("b", "1,2") + "</Folder></Document>"),
        "Start::ptGeo=50.0&19.0\r\n0::ptGeo=50.1&19.1\r\nEnd::ptGeo=51&20\r\n",
        "1993000|5006000|Rynek|0|\r\n1|2|\"x|y\"|3|\r\n",
    };
    QRandomGenerator rng(12345);
    const QByteArray alphabet = "<>/!&;:|,.\"'=\r\n\t 0123456789-eE[]?%#@ptGeoPlacemarkDocumentFolderkml";
    for (const QByteArray &seed : seeds) {
        for (int round = 0; round < 3000; ++round) {
            QByteArray s = seed;
            const int edits = 1 + int(rng.bounded(8));
            for (int e = 0; e < edits && !s.isEmpty(); ++e) {
                const int at = int(rng.bounded(s.size()));
                switch (rng.bounded(4)) {
                case 0: s[at] = alphabet[int(rng.bounded(alphabet.size()))]; break;
                case 1: s.remove(at, 1 + int(rng.bounded(6))); break;
                case 2: s.insert(at, seed.mid(int(rng.bounded(seed.size())), 12)); break;
                default: s[at] = char(rng.bounded(256)); break;
                }
            }
            const KmlPoints k = ImportKML(s);
            for (const ImportedPoint &p : k.points)
                ASSERT_FALSE(pointCells(p.lon, p.lat, p.name).lon.isEmpty());
            QString text = QString::fromUtf8(s);
            KmlPasteRows(text);
            ASSERT_LE(ReadTargeoRoute(QString::fromLatin1(s)).size(), 10u);
            for (const QString &l : splitLines(QString::fromLatin1(s)))
                (void)lineOf(rowFromLine(l));
            (void)pointFromMapLink(QString::fromLatin1(s));
        }
    }
}

// The import reads KML as a stream; the document model it replaced stays the measure
// of what it finds, on real-looking and on mangled documents.
TEST(KmlImport, TheStreamFindsWhatTheDocumentModelFinds)
{
    const QByteArray seeds[] = {
        kml("<Document><name>d</name>" + placemark("Rynek", "19.93,50.06,0", "<address> Kraków <b>1</b> </address>")
            + "<Placemark><name><![CDATA[A & B]]></name><Point><x/><coordinates>1,2,3</coordinates></Point></Placemark>"
            + "<Placemark><Point/><Point><coordinates>5,6,7</coordinates></Point></Placemark>"
            + "<Folder>" + placemark("Nested", "1,2,0") + "</Folder>" + placemark("n", " 3 , 4 , 5 ") + "</Document>"),
        kml("<Folder>" + placemark("F", "1.5,2.5,0") + "</Folder><Document>" + placemark("D", "3,4,0") + "</Document>"),
        kml("<Folder>" + placemark("First", "1,2,0") + "</Folder><Folder>" + placemark("Second", "3,4,0") + "</Folder>"),
        "<kml><Document><Placemark><name>  </name><Point><coordinates>\n 1,2,0 \n</coordinates></Point></Placemark></Document></kml>",
    };
    QRandomGenerator rng(777);
    const QByteArray alphabet = "<>/!;,. \"'=\n0123456789-PlacemarkDocumentFoldernamePointcoordinates";
    for (const QByteArray &seed : seeds) {
        for (int round = 0; round < 2000; ++round) {
            QByteArray s = seed;
            for (int e = 0; round > 0 && e < 1 + int(rng.bounded(4)) && !s.isEmpty(); ++e) {
                const int at = int(rng.bounded(s.size()));
                if (rng.bounded(2))
                    s[at] = alphabet[int(rng.bounded(alphabet.size()))];
                else
                    s.insert(at, seed.mid(int(rng.bounded(seed.size())), 1 + int(rng.bounded(30))));
            }
            QDomDocument doc;
            const KmlPoints streamed = ImportKML(s);
            if (!parseXml(s, doc)) {
                ASSERT_FALSE(streamed.valid) << s.toStdString();
                ASSERT_TRUE(streamed.points.empty());
                continue;
            }
            const KmlPoints modelled = ImportKML(doc);
            ASSERT_EQ(streamed.valid, modelled.valid) << s.toStdString();
            ASSERT_EQ(streamed.points, modelled.points) << s.toStdString();
        }
    }
}

namespace {
// The paste as a document model gives it: the measure the streamed paste is held to.
QDomNode firstNamed(const QDomNode &parent, const QString &name)
{
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling())
        if (n.nodeName() == name)
            return n;
    return {};
}

void modelledPlacemarks(const QDomNode &node, QStringList &rows)
{
    for (QDomNode p = firstNamed(node, QStringLiteral("Placemark")); !p.isNull(); p = p.nextSibling()) {
        const QString name = p.firstChildElement(QStringLiteral("name")).text();
        const QDomElement c = p.firstChildElement(QStringLiteral("Point")).firstChildElement(QStringLiteral("coordinates"));
        if (c.isNull())
            continue;
        TRBParams f;
        f.ParseFields(c.text(), 0, TRBCharSet{','}, RBConventions::doubleQuote(), RBConventions::blankSet());
        QString field = name;
        for (QChar &ch : field)
            if (ch == u'\t' || ch == u'\r' || ch == u'\n')
                ch = u' ';
        rows.append(QString::number(degreesToUnits(f.FieldView(0))) + u'\t' + QString::number(degreesToUnits(f.FieldView(1)))
                    + u'\t' + field);
    }
}

std::optional<QString> modelledPaste(const QString &text)
{
    QDomDocument doc;
    if (!parseXml(text, doc))
        return std::nullopt;
    QStringList rows;
    const QDomElement root = doc.documentElement();
    for (QDomNode d = firstNamed(root, QStringLiteral("Document")); !d.isNull(); d = d.nextSibling()) {
        for (QDomNode f = firstNamed(d, QStringLiteral("Folder")); !f.isNull(); f = f.nextSibling())
            modelledPlacemarks(f, rows);
        modelledPlacemarks(d, rows);
    }
    return rows.join(QStringLiteral("\r\n"));
}
} // namespace

TEST(KmlPaste, TheStreamGivesTheRowsTheDocumentModelGives)
{
    const QByteArray seed = kml("<Document>" + placemark("Own", "19.93,50.06") + "<Folder>" + placemark("In", "20.5,51.25,100")
                                + "<name>f</name>" + placemark("In 2", "1,2") + "</Folder>" + placemark("After", "3,4")
                                + "<Folder><Point><coordinates>5,6</coordinates></Point></Folder></Document>"
                                + "<x/><Document>" + placemark("Second", "7,8") + "</Document>");
    QRandomGenerator rng(4242);
    const QByteArray alphabet = "<>/!;,. \"'=\n0123456789-PlacemarkDocumentFoldernamePointcoordinates";
    int compared = 0;
    for (int round = 0; round < 6000; ++round) {
        QByteArray s = seed;
        for (int e = 0; round > 0 && e < 1 + int(rng.bounded(3)) && !s.isEmpty(); ++e) {
            const int at = int(rng.bounded(s.size()));
            if (rng.bounded(2))
                s[at] = alphabet[int(rng.bounded(alphabet.size()))];
            else
                s.insert(at, seed.mid(int(rng.bounded(seed.size())), 1 + int(rng.bounded(40))));
        }
        QString streamed = QString::fromUtf8(s);
        const bool pasted = KmlPasteRows(streamed);
        const std::optional<QString> modelled = modelledPaste(QString::fromUtf8(s));
        ASSERT_EQ(pasted, modelled.has_value()) << s.toStdString();
        if (pasted) {
            ASSERT_EQ(streamed, *modelled) << s.toStdString();
            ++compared;
        }
    }
    EXPECT_GT(compared, 200);
}

TEST(KmlImport, HostileDocumentsAreRefusedBeforeTheParserWorksOnThem)
{
    QByteArray crowded = "<Placemark";
    for (int i = 0; i < 200000; ++i)
        crowded += " a" + QByteArray::number(i) + "=\"\"";
    crowded += "><name>x</name><Point><coordinates>1,2,0</coordinates></Point></Placemark>";
    const QByteArray deep = QByteArray("<Folder>").repeated(150000) + QByteArray("</Folder>").repeated(150000);
    for (const QByteArray &hostile : {kml("<Document>" + crowded + "</Document>"), kml("<Document>" + deep + "</Document>")}) {
        const KmlPoints k = ImportKML(hostile);
        EXPECT_FALSE(k.valid);
        EXPECT_TRUE(k.points.empty());
        EXPECT_TRUE(k.reason.contains(QLatin1String("more than 1000 attributes")) || k.reason.contains(QLatin1String("nest deeper")))
            << k.reason.toStdString();
        QString text = QString::fromUtf8(hostile);
        EXPECT_FALSE(KmlPasteRows(text)) << "pasted as plain text";
        EXPECT_EQ(text.size(), hostile.size());
    }
}
