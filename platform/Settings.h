// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The per-user settings store: one INI file, sections and keys compared without
// regard to case, every value kept as a string. Each call opens the file afresh,
// so a change is seen by the next reader and nothing is cached.
class KorvixSettings {
public:
    // The default file is $XDG_CONFIG_HOME/Korvix/Korvix.ini.
    KorvixSettings();
    explicit KorvixSettings(const QString &iniFile);

    static QString defaultFile();
    QString fileName() const { return m_file; }
    bool exists() const;

    QString ReadString(const QString &section, const QString &key, const QString &def = {}) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    // Failed writes are not reported.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

private:
    bool find(const QString &section, const QString &key, QString *value) const;
    QString m_file;
};
