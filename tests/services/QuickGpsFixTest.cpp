// SPDX-License-Identifier: GPL-3.0-or-later
// The ephemeris update against a local server serving cabinets made by our writer.
#include "platform/HttpClient.h"
#include "services/CabFile.h"
#include "services/QuickGpsFix.h"
#include "tests/services/EphemerisServer.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {
const QByteArray Path1 = "/download/Ephemeris.cab?type=ephemeris&eeProvider=globalLocate&devicecode=1";
const QByteArray Path2 = "/download/Ephemeris.cab?type=ephemeris&eeProvider=SiRFStarIII&devicecode=2";

struct Update {
    explicit Update(const EphemerisServer &server) : fix(http)
    {
        fix.Where.host = server.host();
        fix.WorkFolder = t.mkdir(QStringLiteral("work"));
        fix.Now = QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30));
        fix.StallMs = 400;
        fix.OnStatus = [this](const QString &s) { statuses << s; };
        device = t.mkdir(QStringLiteral("dev"));
    }
    QString ephem(const QString &name) const { return device + QStringLiteral("/ephem/") + name; }
    TempFolder t;
    HttpClient http;
    TQuickGpsFix fix;
    QString device;
    QStringList statuses;
};

const QByteArray Meta = "meta 2026-12-09", Packed1 = QByteArray(5000, 'p'), Lto = QByteArray(3000, 'l');

void serveBoth(EphemerisServer &server)
{
    server.answers.insert(Path1, {"200 OK", ephemerisCabinet({{QStringLiteral("ee_meta.txt"), Meta},
                                                       {QStringLiteral("packedephemeris.ee"), Packed1}})});
    server.answers.insert(Path2, {"200 OK", ephemerisCabinet({{QStringLiteral("lto.dat"), Lto}})});
}
} // namespace

TEST(QuickGpsFix, UpdatesTheDeviceInOrderWithTheTimeOfTheUpdateAndTheQueryAsStored)
{
    EphemerisServer server;
    serveBoth(server);
    Update u(server);
    QSignalSpy received(&u.http, &HttpClient::work);
    ASSERT_TRUE(u.fix.QGPS(u.device)) << u.fix.error().toStdString();
    EXPECT_EQ(u.statuses, (QStringList{"QuickGPSFix", "globalLocate Downloading...", "globalLocate Decompressing",
                                       "SiRFStarIII Downloading", "SiRFStarIII Decompressing", "Copy files", ""}));
    EXPECT_EQ(server.requestLines, (QList<QByteArray>{"GET " + Path1 + " HTTP/1.1", "GET " + Path2 + " HTTP/1.1"}));
    // The device had no "ephem" folder: it got one, with the three files.
    EXPECT_EQ(readAll(u.ephem(QStringLiteral("ee_meta.txt"))), Meta);
    EXPECT_EQ(readAll(u.ephem(QStringLiteral("packedephemeris.ee"))), Packed1);
    EXPECT_EQ(readAll(u.ephem(QStringLiteral("lto.dat"))), Lto);
    for (const QString &name : QuickGpsFix::ephemerisFiles()) {
        EXPECT_EQ(QFileInfo(u.ephem(name)).lastModified(), u.fix.Now) << name.toStdString();
        EXPECT_EQ(QFileInfo(u.fix.WorkFolder + QLatin1Char('/') + name).lastModified(), u.fix.Now) << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo(u.fix.WorkFolder + QStringLiteral("/Ephemeris1.cab")).isFile());
    EXPECT_TRUE(QFileInfo(u.fix.WorkFolder + QStringLiteral("/Ephemeris2.cab")).isFile());
    // The transfers drive the client's progress up to their last byte.
    ASSERT_FALSE(received.isEmpty());
    EXPECT_EQ(received.last().at(0).toLongLong(), server.answers.value(Path2).body.size());
}

TEST(QuickGpsFix, AnAddressKeptEscapedBySettingsAsksTheSamePlainQuery)
{
    EphemerisServer server;
    serveBoth(server);
    Update u(server);
    u.fix.Where.globalLocate = QString::fromLatin1(Path1).replace("&", "&amp;");
    u.fix.Where.sirfStar = QString::fromLatin1(Path2).replace("&", "&amp;");
    ASSERT_TRUE(u.fix.QGPS(u.device)) << u.fix.error().toStdString();
    EXPECT_EQ(server.requestLines, (QList<QByteArray>{"GET " + Path1 + " HTTP/1.1", "GET " + Path2 + " HTTP/1.1"}));
    EXPECT_FALSE(Path1.contains("&amp;"));
}

TEST(QuickGpsFix, AnErrorAnswerOrABodyThatIsNotACabinetStopsAtThatStep)
{
    {
        EphemerisServer server;
        serveBoth(server);
        server.answers[Path1] = {"500 Internal Server Error", "<html>try later</html>"};
        Update u(server);
        u.t.write(QStringLiteral("work/Ephemeris1.cab"), "earlier");
        EXPECT_FALSE(u.fix.QGPS(u.device));
        EXPECT_EQ(u.statuses, (QStringList{"QuickGPSFix", "globalLocate Downloading...", ""}));
        EXPECT_EQ(server.requestLines.size(), 1);
        EXPECT_FALSE(QFileInfo::exists(u.device + QStringLiteral("/ephem")));
        // The error page never replaces what the file held.
        EXPECT_EQ(readAll(u.fix.WorkFolder + QStringLiteral("/Ephemeris1.cab")), QByteArray("earlier"));
    }
    {
        EphemerisServer server;
        serveBoth(server);
        server.answers[Path1] = {"200 OK", "<html>maintenance</html>"};
        Update u(server);
        EXPECT_FALSE(u.fix.QGPS(u.device));
        EXPECT_EQ(u.statuses, (QStringList{"QuickGPSFix", "globalLocate Downloading...", "globalLocate Decompressing", ""}));
        EXPECT_TRUE(u.fix.error().contains(QStringLiteral("Ephemeris1.cab"))) << u.fix.error().toStdString();
        EXPECT_FALSE(QFileInfo::exists(u.ephem(QStringLiteral("ee_meta.txt"))));
    }
    {
        EphemerisServer server;
        serveBoth(server);
        server.answers.remove(Path2);
        Update u(server);
        EXPECT_FALSE(u.fix.QGPS(u.device));
        EXPECT_EQ(server.requestLines.size(), 2);
        EXPECT_FALSE(QFileInfo::exists(u.ephem(QStringLiteral("ee_meta.txt"))));
    }
}

TEST(QuickGpsFix, AMissingPackedEphemerisCopiesTheMetaFileButNotTheLastOne)
{
    EphemerisServer server;
    serveBoth(server);
    server.answers[Path1] = {"200 OK", ephemerisCabinet({{QStringLiteral("ee_meta.txt"), Meta}})};
    Update u(server);
    EXPECT_FALSE(u.fix.QGPS(u.device));
    EXPECT_TRUE(u.fix.error().contains(QStringLiteral("packedephemeris.ee"))) << u.fix.error().toStdString();
    EXPECT_EQ(readAll(u.ephem(QStringLiteral("ee_meta.txt"))), Meta);
    EXPECT_FALSE(QFileInfo::exists(u.ephem(QStringLiteral("packedephemeris.ee"))));
    EXPECT_FALSE(QFileInfo::exists(u.ephem(QStringLiteral("lto.dat"))));
    EXPECT_EQ(u.statuses.value(u.statuses.size() - 2), QStringLiteral("Copy files"));
}

TEST(QuickGpsFix, AServerThatNeverAnswersFailsAfterTheStallLimit)
{
    EphemerisServer server;
    server.silent = true;
    Update u(server);
    EXPECT_FALSE(u.fix.QGPS(u.device));
    EXPECT_EQ(server.requestLines.size(), 1);
    EXPECT_EQ(u.fix.error(), QStringLiteral("No answer from 127.0.0.1"));
    EXPECT_EQ(u.statuses.last(), QString());
    // A host that refuses the connection fails the same step.
    const quint16 port = server.serverPort();
    server.close();
    u.fix.Where.host = QStringLiteral("127.0.0.1:%1").arg(port);
    EXPECT_FALSE(u.fix.QGPS(u.device));
    EXPECT_TRUE(u.fix.error().contains(QStringLiteral("refused"), Qt::CaseInsensitive)) << u.fix.error().toStdString();
}
