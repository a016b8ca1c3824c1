// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Config.h"

#include "platform/Settings.h"
#include "services/QuickGpsFix.h"

#include <QStringList>

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
    return s.ReadString(gpsFix, QStringLiteral("HOST"), QLatin1String(QuickGpsFix::DefaultHost));
}

QString Config::globalLocatePath(const KorvixSettings &s)
{
    return s.ReadString(gpsFix, QStringLiteral("globalLocate"),
                        QLatin1String(QuickGpsFix::DefaultGlobalLocate));
}

QString Config::sirfStarPath(const KorvixSettings &s)
{
    return s.ReadString(gpsFix, QStringLiteral("SiRFStarIII"),
                        QLatin1String(QuickGpsFix::DefaultSirfStar));
}

QSize Config::editorSize(const KorvixSettings &s, const QString &kind)
{
    const QStringList wh = s.ReadString(QStringLiteral("Windows"), kind + QStringLiteral("Size")).split(u',');
    bool okW = false, okH = false;
    const QSize size = wh.size() == 2 ? QSize(wh[0].trimmed().toInt(&okW), wh[1].trimmed().toInt(&okH)) : QSize();
    return okW && okH && size.width() > 0 && size.height() > 0 ? size : QSize();
}

QList<int> Config::editorColumns(const KorvixSettings &s, const QString &kind)
{
    QList<int> widths;
    const QString text = s.ReadString(QStringLiteral("Windows"), kind + QStringLiteral("Columns"));
    for (const QString &field : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int w = field.trimmed().toInt(&ok);
        widths.append(ok && w > 0 ? w : 0);
    }
    return widths;
}

void Config::setEditorColumns(KorvixSettings &s, const QString &kind, const QList<int> &widths)
{
    QStringList fields;
    for (int w : widths)
        fields.append(QString::number(w));
    s.WriteString(QStringLiteral("Windows"), kind + QStringLiteral("Columns"), fields.join(u','));
}

void Config::setEditorSize(KorvixSettings &s, const QString &kind, const QSize &size)
{
    s.WriteString(QStringLiteral("Windows"), kind + QStringLiteral("Size"),
                  QStringLiteral("%1,%2").arg(size.width()).arg(size.height()));
}

void Config::storeProgramFolder(KorvixSettings &s, const QString &folder)
{
    if (s.exists())
        s.WriteString(QString(), QStringLiteral("Path"), folder);
}
