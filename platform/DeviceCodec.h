// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class KorvixSettings;

// The one text codec for bytes that live in device files (POI descriptions, itinerary
// names). The single-byte tables map all 256 bytes both ways: bytes a code page leaves
// undefined stand for the C1 control of the same number, so any file round-trips byte
// for byte. Chosen by "Settings"/"CodePage": 1250 (default), 1252 or UTF-8.
class DeviceCodec {
public:
    enum class Kind { Cp1250, Cp1252, Utf8 };

    explicit DeviceCodec(Kind kind = Kind::Cp1250);
    // Reads the choice once; callers keep the codec for the whole operation. Defined
    // with the typed settings (core/Settings.cpp), where the setting is spelled.
    static DeviceCodec fromSettings(const KorvixSettings &settings);
    static DeviceCodec fromSettings();
    // "1250", "1252", "UTF-8" (also "UTF8", "65001"); anything else is 1250.
    static Kind kindFromName(const QString &name);

    Kind kind() const { return m_kind; }
    bool isSingleByte() const { return m_kind != Kind::Utf8; }

    QString toUnicode(QByteArrayView bytes) const;
    // Appends to `out` without a temporary QString.
    void appendUnicode(QString &out, QByteArrayView bytes) const;
    // Characters the code page lacks become "?".
    QByteArray fromUnicode(QStringView text) const;
    void appendBytes(QByteArray &out, QStringView text) const;

    // The character a single byte stands for (single-byte code pages only).
    char16_t charOf(unsigned char byte) const;

private:
    Kind m_kind;
    const char16_t *m_high; // 0x80..0xFF, null for UTF-8
    const unsigned char *m_reverse; // 65536 entries, 0 = unmapped (except U+0000)
};
