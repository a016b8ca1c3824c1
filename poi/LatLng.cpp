// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/LatLng.h"

#include "core/CoordinateInput.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TLatLng::TLatLng(QWidget *parent)
    : QDialog(parent)
    , m_options(new QButtonGroup(this))
    , m_result(new QLabel(QStringLiteral("?"), this))
    , m_edit(new QLineEdit(this))
    , m_apply(new QPushButton(tr("Apply"), this))
{
    setWindowTitle(tr("LatLng"));
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    const CoordinateDisplay displays[] = {CoordinateDisplay::Degrees, CoordinateDisplay::Minutes,
                                          CoordinateDisplay::Seconds, CoordinateDisplay::TomTom};
    for (CoordinateDisplay d : displays) {
        auto *button = new QRadioButton(coordinateDisplayName(d), this);
        m_options->addButton(button, int(d));
        row->addWidget(button);
    }
    m_options->button(int(CoordinateDisplay::Degrees))->setChecked(true);
    layout->addLayout(row);

    QFont bold = m_result->font();
    bold.setBold(true);
    m_result->setFont(bold);
    m_result->setAlignment(Qt::AlignCenter);
    m_result->setWordWrap(true);
    m_result->setTextFormat(Qt::PlainText);
    m_result->setMinimumHeight(m_result->fontMetrics().height() * 3);
    layout->addWidget(m_result, 1);
    auto *inputRow = new QHBoxLayout;
    inputRow->addWidget(m_edit, 1);
    inputRow->addWidget(m_apply);
    layout->addLayout(inputRow);
    m_apply->setAutoDefault(false);
    m_apply->setVisible(false);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        const auto at = CoordinateInput::readPair(m_edit->text(), CoordinateInput::PairOrder::LonLat, nullptr,
                                                  CoordinateInput::Integers::Degrees);
        if (at && m_onApply)
            m_onApply(at->lon, at->lat);
    });

    connect(m_edit, &QLineEdit::textChanged, this, &TLatLng::parseInput);
    connect(m_options, &QButtonGroup::idClicked, this, [this](int id) {
        m_display = CoordinateDisplay(id);
        refreshDisplay();
    });
    resize(340, 150);
}

TLatLng *TLatLng::instance(QWidget *parent)
{
    static QPointer<TLatLng> dialog;
    if (!dialog)
        dialog = new TLatLng(parent);
    return dialog;
}

void TLatLng::setInput(const QString &text)
{
    if (m_edit->text() == text)
        parseInput();
    else
        m_edit->setText(text);   // parses through textChanged
}

QString TLatLng::input() const
{
    return m_edit->text();
}

void TLatLng::setDisplay(CoordinateDisplay display)
{
    m_display = display;
    m_options->button(int(display))->setChecked(true);
    refreshDisplay();
}

QString TLatLng::resultText() const
{
    return m_result->text();
}

void TLatLng::parseInput()
{
    m_pair = parseCoordinatePair(m_edit->text());
    refreshDisplay();
    refreshApply();
}

void TLatLng::setApplyHandler(ApplyHandler handler)
{
    m_onApply = std::move(handler);
    m_apply->setVisible(bool(m_onApply));
    refreshApply();
}

void TLatLng::refreshApply()
{
    // Only a text that reads whole may change a row; the display above is more lenient.
    QString why;
    const bool readable = bool(CoordinateInput::readPair(m_edit->text(), CoordinateInput::PairOrder::LonLat, &why,
                                                               CoordinateInput::Integers::Degrees));
    m_apply->setEnabled(readable && m_onApply);
    m_apply->setToolTip(readable ? QString() : why);
}

void TLatLng::refreshDisplay()
{
    m_result->setText(coordinateDisplayLines(m_pair, m_display).join(QLatin1Char('\n')));
}
