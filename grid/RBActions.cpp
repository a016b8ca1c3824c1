// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/RBActions.h"

#include "grid/RBGrids.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QUndoStack>

TRBEditAction::TRBEditAction(const QString &text, const QKeySequence &shortcut, QObject *parent)
    : QAction(text, parent)
{
    setShortcut(shortcut);
    connect(this, &QAction::triggered, this, [this] {
        ExecuteForFocus();
        UpdateForFocus();
    });
}

bool TRBEditAction::IsEditBox(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QTextEdit *>(w)
           || qobject_cast<const QPlainTextEdit *>(w);
}

bool TRBEditAction::EditHasSelection(const QWidget *w)
{
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->hasSelectedText();
    if (auto *e = qobject_cast<const QTextEdit *>(w))
        return e->textCursor().hasSelection();
    if (auto *e = qobject_cast<const QPlainTextEdit *>(w))
        return e->textCursor().hasSelection();
    return false;
}

bool TRBEditAction::EditHasText(const QWidget *w)
{
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return !e->text().isEmpty();
    if (auto *e = qobject_cast<const QTextEdit *>(w))
        return !e->document()->isEmpty();
    if (auto *e = qobject_cast<const QPlainTextEdit *>(w))
        return !e->document()->isEmpty();
    return false;
}

bool TRBEditAction::EditReadOnly(const QWidget *w)
{
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->isReadOnly();
    if (auto *e = qobject_cast<const QTextEdit *>(w))
        return e->isReadOnly();
    if (auto *e = qobject_cast<const QPlainTextEdit *>(w))
        return e->isReadOnly();
    return true;
}

bool TRBEditAction::ClipboardHasText()
{
    // Formats only: fetching the text itself would copy a foreign clipboard of any
    // size on every idle check.
    const QMimeData *m = QGuiApplication::clipboard()->mimeData();
    return m && m->hasText();
}

TRBGrid *TRBEditAction::GridTarget(QWidget *w)
{
    auto *g = qobject_cast<TRBGrid *>(w);
    return g && !g->IsEditorActive() ? g : nullptr;
}

bool TRBEditAction::HandlesTarget(QWidget *target) const
{
    if (!target || !target->hasFocus())
        return false;
    if (m_control)
        return target == m_control;
    return IsEditBox(target) || qobject_cast<TRBGrid *>(target);
}

void TRBEditAction::UpdateForFocus()
{
    QWidget *w = QApplication::focusWidget();
    if (HandlesTarget(w))
        UpdateTarget(w);
    else
        setEnabled(false);
}

void TRBEditAction::ExecuteForFocus()
{
    QWidget *w = QApplication::focusWidget();
    if (HandlesTarget(w))
        ExecuteTarget(w);
}

// ---- Select All ------------------------------------------------------------------

TRBSelectAll::TRBSelectAll(QObject *parent)
    : TRBEditAction(tr("SelectAll"), QKeySequence(Qt::CTRL | Qt::Key_A), parent)
{
    setObjectName(QStringLiteral("RBSelectAll1"));
}

void TRBSelectAll::UpdateTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target))
        setEnabled(g->RowCount() > g->FixedRows());
    else if (IsEditBox(target))
        setEnabled(EditHasText(target)); // a selection is not needed to select all
}

void TRBSelectAll::ExecuteTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target))
        g->SelectAllRows();
    else if (auto *e = qobject_cast<QLineEdit *>(target))
        e->selectAll();
    else if (auto *e = qobject_cast<QTextEdit *>(target))
        e->selectAll();
    else if (auto *e = qobject_cast<QPlainTextEdit *>(target))
        e->selectAll();
}

// ---- Undo, Redo --------------------------------------------------------------------

TRBUndoAction::TRBUndoAction(bool redo, QObject *parent)
    : TRBEditAction(redo ? tr("Redo") : tr("Undo"), redo ? QKeySequence(Qt::CTRL | Qt::Key_Y) : QKeySequence::Undo, parent)
    , m_redo(redo)
{
    setObjectName(redo ? QStringLiteral("RBRedoAction1") : QStringLiteral("RBUndoAction1"));
    if (redo)
        setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
}

void TRBUndoAction::UpdateTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target)) {
        const QUndoStack *s = g->UndoStack();
        setEnabled(s && (m_redo ? s->canRedo() : s->canUndo()));
    } else if (auto *e = qobject_cast<QLineEdit *>(target)) {
        setEnabled(m_redo ? e->isRedoAvailable() : e->isUndoAvailable());
    } else if (IsEditBox(target)) {
        setEnabled(!EditReadOnly(target));
    }
}

void TRBUndoAction::ExecuteTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target)) {
        if (QUndoStack *s = g->UndoStack())
            m_redo ? s->redo() : s->undo();
    } else if (IsEditBox(target)) {
        QMetaObject::invokeMethod(target, m_redo ? "redo" : "undo");
    }
}

// ---- Reverse -----------------------------------------------------------------------

TRBReverse::TRBReverse(QObject *parent)
    : TRBEditAction(tr("Reverse"), QKeySequence(Qt::CTRL | Qt::Key_R), parent)
{
    setObjectName(QStringLiteral("RBReverse1"));
}

void TRBReverse::UpdateTarget(QWidget *target)
{
    // On an edit box the state stays as it was.
    if (TRBGrid *g = GridTarget(target))
        setEnabled(g->RowCount() > g->FixedRows());
}

void TRBReverse::ExecuteTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target))
        g->InvertRowMarks();
}

// ---- Copy --------------------------------------------------------------------------

TRBCopyAction::TRBCopyAction(QObject *parent)
    : TRBEditAction(tr("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), parent)
{
    setObjectName(QStringLiteral("RBCopyAction1"));
}

void TRBCopyAction::UpdateTarget(QWidget *target)
{
    // Without marked rows a grid copies its current cell's text.
    if (TRBGrid *g = GridTarget(target))
        setEnabled(g->HasMarkedRow(RBFlags::RowMark) || (g->Row() >= g->FixedRows() && g->Col() >= g->FixedCols()));
    else if (IsEditBox(target))
        setEnabled(EditHasSelection(target));
}

void TRBCopyAction::ExecuteTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target))
        g->CopySelection();
    else if (auto *e = qobject_cast<QLineEdit *>(target))
        e->copy();
    else if (auto *e = qobject_cast<QTextEdit *>(target))
        e->copy();
    else if (auto *e = qobject_cast<QPlainTextEdit *>(target))
        e->copy();
}

// ---- Cut ---------------------------------------------------------------------------

TRBCutAction::TRBCutAction(QObject *parent)
    : TRBEditAction(tr("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), parent)
{
    setObjectName(QStringLiteral("RBCutAction1"));
}

void TRBCutAction::UpdateTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target))
        setEnabled(g->HasMarkedRow(RBFlags::RowMark) ||
                   (g->CellEditing() && g->Row() >= g->FixedRows() && g->Col() >= g->FixedCols()));
    else if (IsEditBox(target))
        setEnabled(EditHasSelection(target) && !EditReadOnly(target));
}

void TRBCutAction::ExecuteTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target))
        g->CutSelection();
    else if (auto *e = qobject_cast<QLineEdit *>(target))
        e->cut();
    else if (auto *e = qobject_cast<QTextEdit *>(target))
        e->cut();
    else if (auto *e = qobject_cast<QPlainTextEdit *>(target))
        e->cut();
}

// ---- Paste -------------------------------------------------------------------------

TRBPasteAction::TRBPasteAction(QObject *parent)
    : TRBEditAction(tr("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), parent)
{
    setObjectName(QStringLiteral("RBPasteAction1"));
}

void TRBPasteAction::UpdateTarget(QWidget *target)
{
    if (GridTarget(target))
        setEnabled(ClipboardHasText());
    else if (IsEditBox(target))
        setEnabled(ClipboardHasText() && !EditReadOnly(target));
}

void TRBPasteAction::ExecuteTarget(QWidget *target)
{
    if (TRBGrid *g = GridTarget(target))
        g->PasteRows();
    else if (auto *e = qobject_cast<QLineEdit *>(target))
        e->paste();
    else if (auto *e = qobject_cast<QTextEdit *>(target))
        e->paste();
    else if (auto *e = qobject_cast<QPlainTextEdit *>(target))
        e->paste();
}

// ---- the set -------------------------------------------------------------------------

RBActions::RBActions(QObject *parent) : QObject(parent)
{
    RBCutAction1 = new TRBCutAction(this);
    RBCopyAction1 = new TRBCopyAction(this);
    RBUndoAction1 = new TRBUndoAction(false, this);
    RBRedoAction1 = new TRBUndoAction(true, this);
    RBPasteAction1 = new TRBPasteAction(this);
    RBSelectAll1 = new TRBSelectAll(this);
    RBReverse1 = new TRBReverse(this);
    // One command changes what the others may do (a Select All enables Copy).
    for (QAction *a : actions())
        connect(a, &QAction::triggered, this, &RBActions::UpdateActions);
    connect(qApp, &QApplication::focusChanged, this, &RBActions::UpdateActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &RBActions::UpdateActions);
    // Marks change without focus changes; re-check now and then as an idle update does.
    m_idle.setInterval(250);
    connect(&m_idle, &QTimer::timeout, this, &RBActions::UpdateActions);
    m_idle.start();
    UpdateActions();
}

QList<QAction *> RBActions::actions() const
{
    return {RBUndoAction1, RBRedoAction1, RBCutAction1, RBCopyAction1, RBPasteAction1, RBSelectAll1, RBReverse1};
}

void RBActions::UpdateActions()
{
    for (QAction *a : actions())
        static_cast<TRBEditAction *>(a)->UpdateForFocus();
}
