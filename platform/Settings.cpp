// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Settings.h"

#include "platform/FileReader.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString matching(const QStringList &names, const QString &wanted)
{
    for (const QString &n : names)
        if (n.compare(wanted, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

// A decimal number as the store keeps it: optional sign, digits, nothing else.
bool parseDecimal(const QString &text, int *out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok)
        *out = v;
    return ok;
}

} // namespace

KorvixSettings::KorvixSettings() : m_file(defaultFile()) {}

KorvixSettings::KorvixSettings(const QString &iniFile) : m_file(iniFile) {}

QString KorvixSettings::defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Korvix/Korvix.ini");
}

bool KorvixSettings::exists() const
{
    // A settings file far beyond any real one is not read whole into memory.
    const QFileInfo fi(m_file);
    return fi.isFile() && fi.size() <= FileReader::MaxSmallBytes;
}

bool KorvixSettings::find(const QString &section, const QString &key, QString *value) const
{
    if (!exists())
        return false;
    QSettings s(m_file, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return false;
    // An empty section names the store's own values, outside every section.
    if (!section.isEmpty()) {
        const QString group = matching(s.childGroups(), section);
        if (group.isEmpty())
            return false;
        s.beginGroup(group);
    }
    const QString k = matching(s.childKeys(), key);
    if (k.isEmpty())
        return false;
    *value = s.value(k).toString();
    return true;
}

QString KorvixSettings::ReadString(const QString &section, const QString &key, const QString &def) const
{
    QString v;
    return find(section, key, &v) ? v : def;
}

int KorvixSettings::ReadInteger(const QString &section, const QString &key, int def) const
{
    QString v;
    int n = def;
    if (find(section, key, &v) && parseDecimal(v, &n))
        return n;
    return def;
}

bool KorvixSettings::ReadBool(const QString &section, const QString &key, bool def) const
{
    QString v;
    int n = 0;
    if (find(section, key, &v) && parseDecimal(v, &n))
        return n != 0;
    return def;
}

void KorvixSettings::WriteString(const QString &section, const QString &key, const QString &value)
{
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSettings s(m_file, QSettings::IniFormat);
    if (!section.isEmpty()) {
        const QString group = matching(s.childGroups(), section);
        s.beginGroup(group.isEmpty() ? section : group);
    }
    QString k = matching(s.childKeys(), key);
    if (k.isEmpty())
        k = key;
    s.setValue(k, value);
    s.sync();
}

void KorvixSettings::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void KorvixSettings::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
