// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// The list editors' find dialog: a search text, match case, and the direction
// (downward preselected). Modeless; every "Find Next" asks the editor to search.
class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget *parent = nullptr);

    QString findText() const;
    void setFindText(const QString &text);
    bool matchCase() const;
    void setMatchCase(bool on);
    bool down() const;
    void setDown(bool down);
    // Runs the search as the button does.
    void findNext();

signals:
    void find(const QString &text, bool down, bool matchCase);

private:
    QLineEdit *m_text;
    QCheckBox *m_case;
    QRadioButton *m_up, *m_down;
};
