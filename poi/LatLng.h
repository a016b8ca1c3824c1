// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/CoordinateText.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

// The coordinate dialog: reads a pair typed or pasted in any of the usual notations
// and shows it in the one the user picks. It has no OK button; "Apply" hands the
// position typed (longitude first) to whoever opened it, and is off while nobody
// takes it or the text is no pair. It keeps its last input and option between showings.
class TLatLng : public QDialog {
    Q_OBJECT
public:
    explicit TLatLng(QWidget *parent = nullptr);

    // The dialog is created once and reused; it is made again only after its parent
    // has destroyed it.
    static TLatLng *instance(QWidget *parent = nullptr);

    void setInput(const QString &text);
    QString input() const;
    void setDisplay(CoordinateDisplay display);
    CoordinateDisplay display() const { return m_display; }

    // The last parse result, exact and as decimal degrees (east and north positive).
    const CoordinatePair &coordinates() const { return m_pair; }
    double lng() const { return m_pair.lng.degrees(); }
    double lat() const { return m_pair.lat.degrees(); }
    // The label's text: the two display lines joined by a line break, or "?".
    QString resultText() const;

    // Receives the position in list units when "Apply" is pressed; empty: no Apply.
    using ApplyHandler = std::function<void(qint32 lon, qint32 lat)>;
    void setApplyHandler(ApplyHandler handler);
    QPushButton *applyButton() const { return m_apply; }

private:
    void parseInput();
    void refreshDisplay();
    void refreshApply();

    QButtonGroup *m_options;
    QLabel *m_result;
    QLineEdit *m_edit;
    QPushButton *m_apply;
    ApplyHandler m_onApply;
    CoordinatePair m_pair;
    CoordinateDisplay m_display = CoordinateDisplay::Degrees;
};
