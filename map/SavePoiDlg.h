// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TSavePOIDlg: where a point or a route from the map goes when several editors of
// the wanted kind are open.

#include <QDialog>
#include <QList>

class QListWidget;

class TSavePOIDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSavePOIDlg(const QStringList &captions, QWidget *parent = nullptr);
    QListWidget *list() const { return m_list; }

    // None: nullptr without asking (the caller makes a new editor); one: that one;
    // more: the dialog, first entry chosen, "Zapisz" takes the window whose caption is
    // the chosen one. `cancelled` is set when the dialog was closed otherwise.
    static QWidget *choose(QWidget *parent, const QList<QWidget *> &windows, bool &cancelled);

private:
    QListWidget *m_list;
};
