// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SoundBox.h"

#include "platform/Error.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
const QColor Blue(0, 0, 255);
const QColor Yellow(255, 255, 0);
const QColor Green(0, 128, 0);
const QColor Lime(0, 255, 0);
const QColor Grey(128, 128, 128);
const QColor Red(255, 0, 0);

QString unknownFormat()
{
    return QStringLiteral(" ") + QCoreApplication::translate("TRBSoundBox", "Unknown format") + QStringLiteral(" ");
}
} // namespace

TRBSoundBox::TRBSoundBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(WaveLeft + 16, 24);
}

TWave &TRBSoundBox::wave() const
{
    if (!m_storage)
        throw KorvixError(tr("No WaveStorage Assigned"));
    return m_storage->Wave;
}

int TRBSoundBox::TimeToPixel(qint64 t, qint64 total) const
{
    if (total == 0)
        total = wave().Length();
    if (total <= 0)
        return WaveLeft;
    return int(t * qint64(std::max(0, width() - WaveLeft)) / total + WaveLeft);
}

qint64 TRBSoundBox::PixelToTime(int x, qint64 total) const
{
    if (total == 0)
        total = wave().Length();
    const int n = width() - WaveLeft;
    if (n <= 0)
        return 0;
    return total * (x - WaveLeft) / n;
}

qint64 TRBSoundBox::SelectionStart() const
{
    return PixelToTime(m_selStart, 0);
}

qint64 TRBSoundBox::SelectionEnd() const
{
    return PixelToTime(m_selEnd, 0);
}

qint64 TRBSoundBox::SelectionLength() const
{
    const int n = width() - WaveLeft;
    const qint64 l = wave().Length();
    return n > 0 ? qint64(m_selEnd - m_selStart) * l / n : 0;
}

int TRBSoundBox::clampX(int x) const
{
    return std::clamp(x, WaveLeft, std::max(WaveLeft, width()));
}

bool TRBSoundBox::LoadWave(const QString &path)
{
    (void)wave();   // names the missing storage before anything else
    if (!QFileInfo(path).isFile())
        return false;
    // Loaded aside, so a file that fails leaves the document as it was.
    TWave loaded;
    return loaded.LoadFromFile(path) && TakeWave(std::move(loaded));
}

bool TRBSoundBox::TakeWave(TWave loaded)
{
    TWave &doc = wave();
    if (loaded.Empty() || !loaded.ConvertToPCM(Mono16bit22050Hz()))
        return false;
    doc = std::move(loaded);
    RefreshWave(true);
    return true;
}

void TRBSoundBox::RefreshWave(bool reset)
{
    const TWave &doc = wave();
    if (reset) {
        m_cursor = m_selStart = m_selEnd = WaveLeft;
        update();
    }
    const int n = std::max(0, width() - WaveLeft);
    if (doc.Empty()) {
        m_envelope.fill({0, 0}, n);
        m_caption = unknownFormat();
        update();
        return;
    }
    switch (BuildEnvelope(doc, n, height(), m_envelope)) {
    case EnvelopeResult::NotReadable:
        return;
    case EnvelopeResult::NotSixteenBit:
        m_caption = unknownFormat();
        update();
        return;
    case EnvelopeResult::Built:
        break;
    }
    m_caption = QStringLiteral(" ") + SoundTimeText(doc.Length()) + QStringLiteral(" ");
    update();
}

void TRBSoundBox::ShowLevel(int level, qint64 position, qint64 total)
{
    wave();
    int x = TimeToPixel(position, total);
    if (HasSelection())
        x = m_selStart + x - WaveLeft;
    m_cursor = clampX(x);
    m_level = level;
    m_caption = QStringLiteral(" ") + SoundTimeText(position) + QStringLiteral(" ");
    update();
}

bool TRBSoundBox::editable() const
{
    return m_storage->Wave.Valid() && m_storage->Wave.Format().bitsPerSample == 16;
}

void TRBSoundBox::updateLabels(bool withEnd)
{
    m_startLabel = SoundTimeText(SelectionStart()) + QStringLiteral(" ");
    if (withEnd)
        m_endLabel = QStringLiteral(" ") + SoundTimeText(SelectionEnd());
}

void TRBSoundBox::DeleteSelection()
{
    TWave &doc = wave();
    const qint64 p = SelectionStart(), n = SelectionLength();
    if (editable())
        doc.DeleteRange(p, n);
    m_selStart = m_selEnd = clampX(TimeToPixel(p, 0));
    updateLabels();
    RefreshWave(false);
    emit selectionChanged();
}

void TRBSoundBox::CropToSelection()
{
    TWave &doc = wave();
    if (editable())
        doc.CropRange(SelectionStart(), SelectionLength());
    m_selStart = WaveLeft;
    m_selEnd = std::max(WaveLeft, width());
    updateLabels();
    RefreshWave(false);
    emit selectionChanged();
}

void TRBSoundBox::SilenceSelection()
{
    TWave &doc = wave();
    // Zeroing in place gives what deleting and inserting silence of the same length
    // would, without the rounding that could change the length at the end.
    if (editable())
        doc.SilenceRange(SelectionStart(), SelectionLength());
    updateLabels();
    RefreshWave(false);
}

void TRBSoundBox::NormalizeWave()
{
    TWave &doc = wave();
    if (editable())
        doc.Normalize();
    updateLabels(false);
    RefreshWave(false);
}

void TRBSoundBox::mouseAt(Qt::MouseButtons buttons, int rawX)
{
    const int x = clampX(rawX);
    if (buttons & Qt::LeftButton) {
        m_selStart = x;
        if (m_selEnd < x)
            m_selEnd = x;
    } else if (buttons & Qt::RightButton) {
        m_selEnd = x;
        if (x < m_selStart)
            m_selStart = x;
    } else {
        return;
    }
    if (m_storage)
        updateLabels();
    update();
    emit selectionChanged();
}

void TRBSoundBox::mousePressEvent(QMouseEvent *e)
{
    mouseAt(e->button(), int(e->position().x()));
}

void TRBSoundBox::mouseMoveEvent(QMouseEvent *e)
{
    mouseAt(e->buttons(), int(e->position().x()));
}

void TRBSoundBox::resizeEvent(QResizeEvent *)
{
    m_cursor = clampX(m_cursor);
    m_selStart = clampX(m_selStart);
    m_selEnd = clampX(m_selEnd);
    if (m_storage)
        RefreshWave(false);
}

QImage TRBSoundBox::render() const
{
    const int w = std::max(1, width()), h = std::max(1, height());
    // Painted into an image so the AND and invert modes behave the same everywhere.
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(palette().color(QPalette::Window));
    QPainter p(&img);
    p.fillRect(QRect(WaveLeft, 0, w - WaveLeft, h), Blue);
    if (HasSelection())
        p.fillRect(QRect(m_selStart, 0, m_selEnd - m_selStart, h), Yellow);
    p.setPen(Yellow);
    p.drawLine(m_selEnd, 0, m_selEnd, h - 1);

    for (int i = 0; i < m_envelope.size(); ++i) {
        const int x = WaveLeft + i;
        const auto [yMax, yMin] = m_envelope[i];
        if (x < w && yMin >= 0 && yMin < h)
            img.setPixelColor(x, yMin, Green);
        if (std::abs(yMax - yMin) > 1) {
            p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            p.setPen(Green);
            p.drawLine(x, yMin, x, yMax);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }

    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Red);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(Yellow);
    const QFontMetrics fm(bold);
    if (!m_startLabel.isEmpty())
        p.drawText(QRect(m_selStart, 1, fm.horizontalAdvance(m_startLabel), fm.height()), Qt::AlignLeft | Qt::AlignTop, m_startLabel);
    if (HasSelection() && !m_endLabel.isEmpty()) {
        const int tw = fm.horizontalAdvance(m_endLabel);
        p.drawText(QRect(m_selEnd - tw, h - 1 - fm.height(), tw, fm.height()), Qt::AlignLeft | Qt::AlignTop, m_endLabel);
    }

    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.drawLine(m_cursor, 0, m_cursor, h - 1);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    p.setPen(Lime);
    p.setBrush(Grey);
    p.drawRect(0, 0, MeterWidth - 1, h - 1);
    const int top = std::clamp(int(std::trunc(h - h * m_level / 100.0)), 0, h);
    p.fillRect(QRect(0, top, MeterWidth, h - top), Lime);
    if (m_level >= 100)
        p.fillRect(QRect(0, 0, MeterWidth, 3), Red);

    if (!m_caption.isEmpty()) {
        p.setFont(font());
        p.setPen(Qt::black);
        p.setBackground(Qt::white);
        const QFontMetrics cm(font());
        const int tw = cm.horizontalAdvance(m_caption);
        p.drawText(QRect(w - 1 - tw, 1, tw, cm.height()), Qt::AlignLeft | Qt::AlignTop, m_caption);
    }
    return img;
}

void TRBSoundBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, render());
}
