// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Edit actions: Cut, Copy, Paste, Select All and Reverse, routed to whichever edit
// box or TRBGrid has the focus.
//
// The main window owns one RBActions and puts its actions in the "&Edit" menu and
// the toolbar:
//     auto *edit = new RBActions(this);
//     editMenu->addActions(edit->actions());   // Cut, Copy, Paste, SelectAll, Reverse
// Each action enables itself for the focused control (re-checked on focus and
// clipboard changes and on a short timer, as an idle update would) and runs on it.

#include <QAction>
#include <QList>
#include <QPointer>
#include <QTimer>

class TRBGrid;

class TRBEditAction : public QAction {
    Q_OBJECT
public:
    TRBEditAction(const QString &text, const QKeySequence &shortcut, QObject *parent);

    // A bound control: the action then serves that control only.
    QWidget *Control() const { return m_control; }
    void SetControl(QWidget *control) { m_control = control; }

    // True when the target has the focus and is the bound control, or, with none
    // bound, an edit box or a TRBGrid.
    bool HandlesTarget(QWidget *target) const;
    virtual void UpdateTarget(QWidget *target) = 0;
    virtual void ExecuteTarget(QWidget *target) = 0;

    // Enables the action for the focused control (disabled when nothing handles it).
    void UpdateForFocus();
    void ExecuteForFocus();

    static bool IsEditBox(const QWidget *w);
    static bool EditHasSelection(const QWidget *w);
    static bool EditHasText(const QWidget *w);
    static bool EditReadOnly(const QWidget *w);
    static bool ClipboardHasText();
    // The grid as a target (its in-place editor is an edit box, not the grid).
    static TRBGrid *GridTarget(QWidget *w);

private:
    QPointer<QWidget> m_control;
};

class TRBSelectAll : public TRBEditAction {
    Q_OBJECT
public:
    explicit TRBSelectAll(QObject *parent);
    void UpdateTarget(QWidget *target) override;
    void ExecuteTarget(QWidget *target) override;
};

class TRBReverse : public TRBEditAction {
    Q_OBJECT
public:
    explicit TRBReverse(QObject *parent);
    void UpdateTarget(QWidget *target) override;
    void ExecuteTarget(QWidget *target) override;
};

class TRBCopyAction : public TRBEditAction {
    Q_OBJECT
public:
    explicit TRBCopyAction(QObject *parent);
    void UpdateTarget(QWidget *target) override;
    void ExecuteTarget(QWidget *target) override;
};

class TRBCutAction : public TRBEditAction {
    Q_OBJECT
public:
    explicit TRBCutAction(QObject *parent);
    void UpdateTarget(QWidget *target) override;
    void ExecuteTarget(QWidget *target) override;
};

class TRBPasteAction : public TRBEditAction {
    Q_OBJECT
public:
    explicit TRBPasteAction(QObject *parent);
    void UpdateTarget(QWidget *target) override;
    void ExecuteTarget(QWidget *target) override;
};

// Undo and redo of the focused grid's stack (an edit box: its own undo).
class TRBUndoAction : public TRBEditAction {
    Q_OBJECT
public:
    TRBUndoAction(bool redo, QObject *parent);
    void UpdateTarget(QWidget *target) override;
    void ExecuteTarget(QWidget *target) override;

private:
    bool m_redo;
};

// The actions of the main window's Edit menu.
class RBActions : public QObject {
    Q_OBJECT
public:
    explicit RBActions(QObject *parent = nullptr);

    TRBUndoAction *RBUndoAction1;
    TRBUndoAction *RBRedoAction1;
    TRBCutAction *RBCutAction1;
    TRBCopyAction *RBCopyAction1;
    TRBPasteAction *RBPasteAction1;
    TRBSelectAll *RBSelectAll1;
    TRBReverse *RBReverse1;

    // In menu order: Undo, Redo, Cut, Copy, Paste, SelectAll, Reverse.
    QList<QAction *> actions() const;

public slots:
    void UpdateActions();

private:
    QTimer m_idle;
};
