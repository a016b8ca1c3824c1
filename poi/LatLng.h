#pragma once
#include "poi/CoordinateText.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;

// The coordinate dialog: reads a pair typed or pasted in any of the usual notations
// and shows it in the one the user picks. It has no OK button and changes nothing
// itself; it keeps its last input and option between showings.
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

private:
    void parseInput();
    void refreshDisplay();

    QButtonGroup *m_options;
    QLabel *m_result;
    QLineEdit *m_edit;
    CoordinatePair m_pair;
    CoordinateDisplay m_display = CoordinateDisplay::Degrees;
};
