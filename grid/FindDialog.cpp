// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/FindDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Find"));
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Find what:"), this));
    m_text = new QLineEdit(this);
    row->addWidget(m_text, 1);
    layout->addLayout(row);
    auto *options = new QHBoxLayout;
    m_case = new QCheckBox(tr("Match case"), this);
    options->addWidget(m_case);
    auto *direction = new QGroupBox(tr("Direction"), this);
    auto *dirLayout = new QHBoxLayout(direction);
    m_up = new QRadioButton(tr("Up"), direction);
    m_down = new QRadioButton(tr("Down"), direction);
    m_down->setChecked(true);
    dirLayout->addWidget(m_up);
    dirLayout->addWidget(m_down);
    options->addWidget(direction);
    layout->addLayout(options);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *next = buttons->addButton(tr("Find Next"), QDialogButtonBox::ActionRole);
    next->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(next, &QPushButton::clicked, this, &TFindDialog::findNext);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    layout->addWidget(buttons);
}

QString TFindDialog::findText() const { return m_text->text(); }
void TFindDialog::setFindText(const QString &text) { m_text->setText(text); }
bool TFindDialog::matchCase() const { return m_case->isChecked(); }
void TFindDialog::setMatchCase(bool on) { m_case->setChecked(on); }
bool TFindDialog::down() const { return m_down->isChecked(); }
void TFindDialog::setDown(bool down) { (down ? m_down : m_up)->setChecked(true); }

void TFindDialog::findNext()
{
    if (!m_text->text().isEmpty())
        emit find(m_text->text(), down(), matchCase());
}
