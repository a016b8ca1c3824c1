// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the grid: the text measurer behind its column fitting.

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QtMath>

#include <array>

// ---------------------------------------------------------------------------------
// Fast text measuring: per-character advances cached per font, so measuring a
// million cells costs a table look-up per character, not a text layout.

class TRBTextMeasurer {
public:
    explicit TRBTextMeasurer(const QFont &font) : m_font(font), m_fm(font)
    {
        m_height = QFontMetrics(font).height();
        m_adv.fill(-1.0f);
    }
    int height() const { return m_height; }
    const QFont &font() const { return m_font; }
    // True when all ten digits advance alike, so a number's width follows its length.
    bool uniformDigits()
    {
        if (m_uniformDigits < 0) {
            const QString zero = QStringLiteral("0");
            const int w = width(zero);
            m_uniformDigits = 1;
            for (char16_t d = u'1'; d <= u'9'; ++d)
                if (width(QStringView(&d, 1)) != w || m_adv[d] != m_adv[u'0'])
                    m_uniformDigits = 0;
        }
        return m_uniformDigits == 1;
    }
    int width(QStringView s)
    {
        qreal w = 0;
        for (QChar c : s) {
            const char16_t u = c.unicode();
            if (u < m_adv.size()) {
                float &a = m_adv[u];
                if (a < 0)
                    a = float(m_fm.horizontalAdvance(c));
                w += a;
            } else {
                w += m_fm.horizontalAdvance(c);
            }
        }
        return int(qCeil(w));
    }

private:
    QFont m_font;
    QFontMetricsF m_fm;
    int m_height = 0;
    int m_uniformDigits = -1;
    std::array<float, 0x600> m_adv;
};
