#include "app/Config.h"

#include "platform/Settings.h"

namespace {
// The section name as stored files carry it.
const QString switchesSection = QStringLiteral("Spec");
const QString googleApi = QStringLiteral("GoogleAPI");
const QString settingsSection = QStringLiteral("Settings");
const QString gpsFix = QStringLiteral("QuickGPSFix");
} // namespace

bool Config::superUser(const KorvixSettings &s) { return s.ReadBool(switchesSection, QStringLiteral("SuperUser"), false); }
void Config::setSuperUser(KorvixSettings &s) { s.WriteBool(switchesSection, QStringLiteral("SuperUser"), true); }
bool Config::updateCheck(const KorvixSettings &s) { return s.ReadBool(switchesSection, QStringLiteral("Update"), true); }
void Config::setUpdateCheck(KorvixSettings &s, bool on) { s.WriteBool(switchesSection, QStringLiteral("Update"), on); }
QString Config::initialView(const KorvixSettings &s) { return s.ReadString(googleApi, QStringLiteral("InitialView")); }
void Config::setInitialView(KorvixSettings &s, const QString &b) { s.WriteString(googleApi, QStringLiteral("InitialView"), b); }
QString Config::home(const KorvixSettings &s) { return s.ReadString(googleApi, QStringLiteral("Home")); }
void Config::setHome(KorvixSettings &s, const QString &p) { s.WriteString(googleApi, QStringLiteral("Home"), p); }
int Config::maxDistance(const KorvixSettings &s) { return s.ReadInteger(settingsSection, QStringLiteral("MaxDistance"), 0); }
void Config::setMaxDistance(KorvixSettings &s, int m) { s.WriteInteger(settingsSection, QStringLiteral("MaxDistance"), m); }

QString Config::quickGpsFixHost(const KorvixSettings &s)
{
    return s.ReadString(gpsFix, QStringLiteral("HOST"), QStringLiteral("ephemeris.korvix.org"));
}

QString Config::globalLocatePath(const KorvixSettings &s)
{
    return s.ReadString(gpsFix, QStringLiteral("globalLocate"),
                        QStringLiteral("/download/Ephemeris.cab?type=ephemeris&amp;eeProvider=globalLocate&amp;devicecode=1"));
}

QString Config::sirfStarPath(const KorvixSettings &s)
{
    return s.ReadString(gpsFix, QStringLiteral("SiRFStarIII"),
                        QStringLiteral("/download/Ephemeris.cab?type=ephemeris&amp;eeProvider=SiRFStarIII&amp;devicecode=2"));
}

void Config::storeProgramFolder(KorvixSettings &s, const QString &folder)
{
    if (s.exists())
        s.WriteString(QString(), QStringLiteral("Path"), folder);
}
