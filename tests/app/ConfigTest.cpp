// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutBox.h"
#include "app/Autoplay.h"
#include "app/Language.h"
#include "app/SettingsDialog.h"
#include "app/UpdateCheck.h"
#include "app/Version.h"
#include "core/Settings.h"
#include "platform/HttpClient.h"
#include "platform/Settings.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

TEST(Version, StampAndTheUpdateFileRules)
{
    EXPECT_EQ(Version::VersionStamp("12345"), "000000FF12345");
    EXPECT_EQ(Version::GetVersionText("1.2.3.45", "."), "1.2.3.45");
    EXPECT_EQ(Version::GetVersionText("1.2.3.45", ""), "12345");
    EXPECT_FALSE(Version::announcesNewer("000000FF12345", "12345"));  // our own stamp
    EXPECT_FALSE(Version::announcesNewer("000000FF1", "12345"));      // 10 characters, smaller
    EXPECT_FALSE(Version::announcesNewer("000000FF", "12345"));       // too short
    EXPECT_FALSE(Version::announcesNewer("00000100123456", "12345")); // wrong checksum
    const QString newer = Version::VersionStamp("12346");
    EXPECT_TRUE(Version::announcesNewer(newer.toLatin1(), "12345"));
    EXPECT_FALSE(Version::announcesNewer(Version::VersionStamp("12344").toLatin1(), "12345"));
    EXPECT_TRUE(Version::announcesNewer(Version::VersionStamp("99999999999999999999999").toLatin1(), "12345"));
    EXPECT_FALSE(Version::announcesNewer("zzzzzzzz12346", "12345"));
}

namespace {
// A local update site: answers every request with `answer`, or never when silent.
class UpdateSite : public QTcpServer {
public:
    QByteArray answer;
    bool silent = false;
    int requests = 0;
    UpdateSite()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                s->readAll();
                ++requests;
                if (silent)
                    return;
                s->write("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(answer.size()) + "\r\n\r\n" + answer);
                s->disconnectFromHost();
            });
        });
    }
    QString host() const { return QString("127.0.0.1:%1").arg(serverPort()); }
};

bool runCheck(UpdateSite &site, const QByteArray &answer, KorvixSettings &settings, const QString &data)
{
    site.answer = answer;
    HttpClient http;
    UpdateCheck check(http, settings, data, site.host());
    QSignalSpy shown(&check, &UpdateCheck::newVersion), done(&check, &UpdateCheck::finished);
    check.start(1);
    EXPECT_TRUE(done.wait(20000));
    return !shown.isEmpty();
}
} // namespace

TEST(UpdateCheck, ShowsTheMessageOnlyForALargerVersionWithAValidChecksum)
{
    TempFolder tmp;
    KorvixSettings settings(tmp.file("k.ini"));
    UpdateSite site;
    const QString own = Version::GetVersionText();
    EXPECT_FALSE(runCheck(site, Version::VersionStamp(own).toLatin1(), settings, tmp.file("data")));
    EXPECT_EQ(readAll(tmp.file("data/Ver.txt")), Version::VersionStamp(own).toLatin1()); // no line break
    EXPECT_FALSE(runCheck(site, "000000C1", settings, tmp.file("data")));
    EXPECT_FALSE(runCheck(site, "FFFFFFFF9999", settings, tmp.file("data")));
    EXPECT_TRUE(runCheck(site, Version::VersionStamp(own + "0").toLatin1(), settings, tmp.file("data")));

    Prefs::switches(settings).setUpdateCheck(false); // switched off: nothing is fetched
    const int before = site.requests;
    EXPECT_FALSE(runCheck(site, Version::VersionStamp(own + "0").toLatin1(), settings, tmp.file("data")));
    EXPECT_EQ(site.requests, before);
}

TEST(UpdateCheck, ASilentServerNeverMakesAnyoneWait)
{
    TempFolder tmp;
    KorvixSettings settings(tmp.file("k.ini"));
    UpdateSite site;
    site.silent = true;
    HttpClient http;
    UpdateCheck check(http, settings, tmp.file("data"), site.host());
    QSignalSpy shown(&check, &UpdateCheck::newVersion);
    QElapsedTimer clock;
    clock.start();
    check.start(1);
    QTest::qWait(300);
    EXPECT_TRUE(shown.isEmpty());
    http.cancel(); // the run ends without a message
    QTest::qWait(50);
    EXPECT_TRUE(shown.isEmpty());
}

TEST(Language, CodeIsStoredPerExecutable)
{
    EXPECT_EQ(Language::storedCode("/opt/a/korvix"), "");
    Language::storeCode("/opt/a/korvix", "PLK");
    Language::storeCode("/opt/b b/korvix", "ENU");
    EXPECT_EQ(Language::storedCode("/opt/a/korvix"), "PLK");
    EXPECT_EQ(Language::storedCode("/opt/b b/korvix"), "ENU");
    TempFolder tmp;
    const QString exe = tmp.write("bin/korvix");
    tmp.write("bin/korvix.PLK", "qm");
    EXPECT_EQ(Language::companionFile(exe, "PLK"), tmp.file("bin/korvix.PLK"));
    EXPECT_EQ(Language::companionFile(exe, "DEU"), "");
    EXPECT_EQ(Language::companionFile(exe, ""), "");
}

TEST(Autoplay, WritesADesktopEntryThatStartsTheProgram)
{
    ASSERT_TRUE(Autoplay::registerHandler("/opt/My \"K\" $x/korvix").isEmpty());
    const QByteArray entry = readAll(Autoplay::desktopEntryPath());
    EXPECT_TRUE(entry.contains("Comment=Explore your TomTom device"));
    EXPECT_TRUE(entry.contains("Exec=\"/opt/My \\\\\"K\\\\\" \\\\$x/korvix\" %f")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("MimeType=x-content/"));
}

TEST(SettingsDialog, StoresEveryChangeAtOnce)
{
    TempFolder tmp;
    KorvixSettings s(tmp.file("k.ini"));
    TSettings dialog(s, "/opt/korvix/korvix");
    int restarts = 0;
    dialog.onUpdateSwitchedOn = [&] { ++restarts; };
    EXPECT_EQ(dialog.windowTitle(), "Korvix Settings");
    ASSERT_EQ(dialog.pages()->count(), 4);
    EXPECT_EQ(dialog.pages()->tabText(2), "Offline map");
    EXPECT_EQ(dialog.pages()->tabText(1), "GoogleAPI");

    dialog.load(); // first opening with the check on counts as switching it on
    EXPECT_EQ(restarts, 1);
    EXPECT_TRUE(Prefs::switches(s).updateCheck());
    EXPECT_TRUE(readAll(s.fileName()).contains("Update=1")); // stored again, as a string
    // Both languages are listed; with nothing chosen the built-in English is in use.
    ASSERT_EQ(dialog.languageBox()->count(), 2);
    EXPECT_EQ(dialog.languageBox()->itemText(0), "English");
    EXPECT_EQ(dialog.languageBox()->itemText(1), "Polski");
    EXPECT_EQ(dialog.languageBox()->currentText(), "English");
    EXPECT_EQ(Language::storedCode("/opt/korvix/korvix"), ""); // showing it stores nothing
    dialog.pages()->setCurrentIndex(2);
    dialog.load(); // later openings start on the first page and change nothing
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(dialog.pages()->currentIndex(), 0);

    dialog.maxDistanceEdit()->setText("12a");
    EXPECT_EQ(s.ReadString("Settings", "MaxDistance"), "0");
    dialog.maxDistanceEdit()->setText("250");
    EXPECT_EQ(Prefs::lists(s).maxDistance(), 250);
    dialog.homeEdit()->setText("50.06,19.94");
    EXPECT_EQ(Prefs::map(s).home(), "50.06,19.94");
    dialog.initialViewEdit()->setText("49,14,55,24");
    EXPECT_EQ(Prefs::map(s).initialView(), "49,14,55,24");
    dialog.languageBox()->setCurrentIndex(1);
    EXPECT_EQ(Language::storedCode("/opt/korvix/korvix"), "PLK");
    dialog.updateBox()->setChecked(false);
    EXPECT_FALSE(Prefs::switches(s).updateCheck());
    dialog.updateBox()->setChecked(true);
    EXPECT_EQ(restarts, 2);
    dialog.load();
    EXPECT_EQ(dialog.languageBox()->currentText(), "Polski");
    dialog.languageBox()->setCurrentIndex(0);
    EXPECT_EQ(Language::storedCode("/opt/korvix/korvix"), "ENU");

    // A code the program does not know shows the language in use, English.
    Language::storeCode("/opt/korvix/korvix", "DEU");
    dialog.load();
    EXPECT_EQ(dialog.languageBox()->currentText(), "English");
}

TEST(AboutBox, ShowsTheFourPartVersion)
{
    TAboutBox about;
    EXPECT_EQ(about.versionText(), "Version: " + Version::GetVersionText("."));
    EXPECT_EQ(about.versionText().count('.'), 3);
}
