// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/Wave.h"
#include "media/WaveEnvelope.h"

#include <QWidget>

// The waveform control over a TWaveStorage: a min/max picture of the samples, a
// selection made with the mouse (left button moves the start, right button the end),
// a play/record cursor, a level meter at the left and the times of the selection and
// of the cursor. It also edits the selected range of the document it shows.
class TRBSoundBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int MeterWidth = 12;   // x 0..11
    static constexpr int WaveLeft = 14;     // first column of the wave area

    explicit TRBSoundBox(QWidget *parent = nullptr);

    TWaveStorage *WaveStorage() const { return m_storage; }
    void SetWaveStorage(TWaveStorage *storage) { m_storage = storage; }

    // Loads and converts to the working format; false (document and picture
    // unchanged) when the file is missing, unreadable or cannot be converted.
    bool LoadWave(const QString &path);
    // The same for a document read elsewhere (a decoded Ogg file).
    bool TakeWave(TWave loaded);
    void RefreshWave(bool reset);
    void ShowLevel(int level, qint64 position, qint64 total);

    void DeleteSelection();
    void CropToSelection();
    void SilenceSelection();
    void NormalizeWave();

    qint64 SelectionStart() const;
    qint64 SelectionEnd() const;
    qint64 SelectionLength() const;
    bool HasSelection() const { return m_selEnd != m_selStart; }

    int TimeToPixel(qint64 t, qint64 total) const;
    qint64 PixelToTime(int x, qint64 total) const;

    // What the box shows, for the editors and for checks.
    int CursorX() const { return m_cursor; }
    int SelectionStartX() const { return m_selStart; }
    int SelectionEndX() const { return m_selEnd; }
    int Level() const { return m_level; }
    QString StartLabel() const { return m_startLabel; }
    QString EndLabel() const { return m_endLabel; }
    QString Caption() const { return m_caption; }
    const TEnvelope &Envelope() const { return m_envelope; }
    // The box's picture as painted, whatever the window system's raster support.
    QImage render() const;

signals:
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *) override;

private:
    TWave &wave() const;   // throws "No WaveStorage Assigned"
    qint64 length() const { return m_storage ? m_storage->Wave.Length() : 0; }
    int clampX(int x) const;
    void updateLabels(bool withEnd = true);
    void mouseAt(Qt::MouseButtons buttons, int x);
    bool editable() const;

    TWaveStorage *m_storage = nullptr;
    TEnvelope m_envelope;
    int m_cursor = WaveLeft;
    int m_selStart = WaveLeft;
    int m_selEnd = WaveLeft;
    int m_level = 0;
    QString m_startLabel, m_endLabel, m_caption;
};
