// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Editor.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>

#include <QMessageBox>

class IShell;
class TRBGrid;
class QKeyEvent;
class QMouseEvent;

// The colour scheme editor: the entries of a scheme in a grid (number, colour with
// its swatch, description) beside a preview map drawn in the scheme's colours.
class TSchemEdit : public QWidget, public IEditor, public ISaveAs, public IListCommands {
    Q_OBJECT
public:
    static constexpr int ColorCol = 1, DescriptionCol = 2;

    explicit TSchemEdit(IShell &shell, QWidget *parent = nullptr);

    EditorKind editorKind() const override { return EditorKind::Scheme; }
    bool isModified() const override { return Modified; }
    int gridRowCount() const override;
    void Save() override { saveNow(); }
    void SaveAs() override { saveAsNow(); }

    // Reads a scheme. Throws KorvixError when the file cannot be read or a colour is no
    // integer; the rows read before keep their colours, the path stays as it was.
    void Open(const QString &path);
    // Writes the grid under `path` with its extension changed to ".clr". Throws
    // KorvixError when it cannot be written; the scheme stays modified then.
    void SaveEx(const QString &path);
    // Puts the scheme's colours into the preview's colour table.
    void UpdateBMP();
    void Cap(bool modified);

    // The grid's in-place editing and mouse.
    void RBColorGridGetEditText(int col, int row, QString &text);
    void RBColorGridSetEditText(int col, int row, const QString &text);
    void RBColorGridKeyUp(QKeyEvent *event);
    void RBColorGridMouseUp(QMouseEvent *event, int col, int row);

    QString schemePath() const { return SchemePath; }
    QString editStartText() const { return EditStartText; }
    TRBGrid *grid() const { return m_grid; }
    const QImage &preview() const { return m_picture; }
    QWidget *previewView() const { return m_view; }

    // The questions the window asks; tests answer them instead of a user.
    struct Prompts {
        // "Do you want to save changes?": Yes, No or Cancel (Escape).
        std::function<QMessageBox::StandardButton(QWidget *parent)> askSave;
        // The save dialog in `dir` proposing `name`, asking before overwriting; empty = cancelled.
        std::function<QString(QWidget *parent, const QString &dir, const QString &name)> saveFile;
        // The colour dialog; an invalid colour = cancelled.
        std::function<QColor(QWidget *parent, const QColor &initial)> pickColor;
        std::function<void(QWidget *parent, const QString &text)> message;
    };
    Prompts prompts;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool saveNow();
    bool saveAsNow();
    void setRows(int entries);

    IShell &m_shell;
    QString SchemePath;
    QString EditStartText;
    bool Modified = false;
    bool m_editing = false;
    QPoint m_editCell; // col, row of the cell being edited
    QImage m_picture;
    TRBGrid *m_grid;
    QWidget *m_view;
};
