// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SchemEdit.h"

#include "grid/RBGrids.h"
#include "media/ClrFile.h"
#include "media/ClrPreview.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "platform/Shell.h"
#include "platform/Question.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
// The preview, scaled proportionally and centred in its place at the window's right.
class PreviewView : public QWidget {
public:
    PreviewView(const QImage &picture, QWidget *parent) : QWidget(parent), m_picture(picture)
    {
        setObjectName(QStringLiteral("SchemePreview"));
        setMinimumWidth(ClrPreview::Width / 2);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    }
    QSize sizeHint() const override { return QSize(ClrPreview::Width, ClrPreview::Height); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_picture.isNull())
            return;
        QPainter p(this);
        const QSize s = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s), m_picture);
    }

private:
    const QImage &m_picture;
};

bool hasFileName(const QString &path) { return !path.isEmpty() && !QFileInfo(path).fileName().isEmpty(); }
} // namespace

TSchemEdit::TSchemEdit(IShell &shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_grid = new TRBGrid(this);
    m_grid->setObjectName(QStringLiteral("SchemeGrid"));
    m_grid->SetColCount(3);
    m_grid->SetAutoSize(true);
    m_grid->SetHeader(TRBParams{tr("LP"), tr("Color"), tr("Description")});
    m_grid->SetNumbers(true);
    m_grid->SetHasHeader(true);
    m_grid->SetCellEditing(true);
    m_grid->OnGetEditText = [this](TRBGrid *, int col, int row, QString &text) { RBColorGridGetEditText(col, row, text); };
    m_grid->OnSetEditText = [this](TRBGrid *, int col, int row, const QString &text) {
        RBColorGridSetEditText(col, row, text);
    };
    m_grid->OnKeyUp = [this](TRBGrid *, QKeyEvent *e) { RBColorGridKeyUp(e); };
    m_grid->OnMouseUp = [this](TRBGrid *, QMouseEvent *e, int col, int row) { RBColorGridMouseUp(e, col, row); };
    layout->addWidget(m_grid, 1);

    prompts.askSave = [](QWidget *parent) {
        return askToSaveChanges(parent, tr("Schems"), tr("Do you want to save changes?"));
    };
    prompts.saveFile = [](QWidget *parent, const QString &dir, const QString &name) {
        QFileDialog dlg(parent, QString(), dir);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setNameFilter(tr("ColorScheme (*.clr)"));
        dlg.setDefaultSuffix(QStringLiteral("clr"));
        dlg.selectFile(name);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        return dlg.selectedFiles().constFirst();
    };
    prompts.pickColor = [](QWidget *parent, const QColor &initial) {
        return QColorDialog::getColor(initial, parent);
    };
    prompts.message = [](QWidget *parent, const QString &text) {
        QMessageBox::warning(parent, tr("Schems"), text);
    };

    m_picture = ClrPreview::load(Folders::CommonDataFolder());
    m_view = new PreviewView(m_picture, this);
    layout->addWidget(m_view);

    setRows(Clr::EntryCount);
    const QList<Clr::Row> rows = Clr::newRows();
    for (int k = 1; k <= Clr::EntryCount; ++k)
        m_grid->Table().Row(k).SetField(ColorCol, rows[k - 1].cell);
    m_grid->TableChanged();
    UpdateBMP();
    Cap(false);
}

int TSchemEdit::gridRowCount() const
{
    return m_grid->RowCount();
}

// `entries` rows with their swatch and the editor's own descriptions.
void TSchemEdit::setRows(int entries)
{
    TRBParamsTable &t = m_grid->Table();
    t.SetRowCount(entries + 1);
    for (int k = 1; k <= entries; ++k) {
        const QString cell = t.Cell(ColorCol, k);
        t.Row(k) = TRBParams{QString::number(k), cell.isEmpty() ? Clr::colorCell(0) : cell, Clr::description(k)};
        t.SetFlags(ColorCol, k, RBFlags::ColorSwatch);
    }
    m_grid->TableChanged();
}

void TSchemEdit::Open(const QString &path)
{
    const Clr::ReadResult scheme = Clr::readFile(path);
    const int entries = int(scheme.colors.size());
    // A failed read fills the rows it got to and leaves the others.
    if (scheme.ok() || entries > m_grid->RowCount() - 1)
        setRows(entries);
    for (int k = 1; k <= entries; ++k)
        m_grid->Table().Row(k).SetField(ColorCol, Clr::colorCell(scheme.colors[size_t(k - 1)]));
    m_grid->TableChanged();
    if (!scheme.ok()) {
        UpdateBMP();
        throw KorvixError(scheme.error);
    }
    SchemePath = path;
    Cap(false);
    UpdateBMP();
}

bool TSchemEdit::saveNow()
{
    if (!hasFileName(SchemePath))
        return saveAsNow();
    SaveEx(SchemePath);
    return true;
}

bool TSchemEdit::saveAsNow()
{
    const QFileInfo info(SchemePath);
    const QString dir = SchemePath.isEmpty() ? Folders::UserDataFolder() : info.absolutePath();
    const QString target = prompts.saveFile(m_shell.window(), dir, hasFileName(SchemePath) ? info.completeBaseName() : QString());
    if (target.isEmpty())
        return false;
    SaveEx(target);
    return true;
}

void TSchemEdit::SaveEx(const QString &path)
{
    m_grid->HideEditor();
    QList<Clr::Row> rows;
    for (int k = 1; k < m_grid->RowCount(); ++k)
        rows.append({m_grid->GetCell(ColorCol, k), m_grid->GetCell(DescriptionCol, k)});
    const QString target = Clr::clrPath(path);
    if (const QString why = Clr::writeFile(target, rows); !why.isEmpty())
        throw KorvixError(tr("Cannot create file \"%1\". %2").arg(target, why));
    SchemePath = target; // after Save As the window goes on with the new name
    Cap(false);
    // The file written, so that a scheme saved under a new name shows in the tree too.
    m_shell.UpdateTreeView(target, 5);
}

void TSchemEdit::UpdateBMP()
{
    std::vector<quint32> colors;
    for (int k = 1; k < m_grid->RowCount(); ++k)
        colors.push_back(Clr::cellColor(m_grid->GetCell(ColorCol, k)));
    if (ClrPreview::apply(m_picture, colors) == ClrPreview::Outcome::NoColorTable)
        prompts.message(m_shell.window(), ClrPreview::noColorTableMessage());
    m_view->update();
}

void TSchemEdit::Cap(bool modified)
{
    Modified = modified;
    setWindowTitle(SchemePath + (modified ? QStringLiteral("*") : QString()));
}

void TSchemEdit::RBColorGridGetEditText(int col, int row, QString &text)
{
    if (col == ColorCol)
        text = Clr::colorCell(Clr::cellColor(m_grid->GetCell(col, row)));
    EditStartText = text;
    m_editing = true;
    m_editCell = QPoint(col, row);
}

void TSchemEdit::RBColorGridSetEditText(int col, int, const QString &text)
{
    m_editing = false;
    const bool changed = col == ColorCol ? Clr::colorCell(Clr::cellColor(text)) != EditStartText
                                         : col == DescriptionCol && text != EditStartText;
    if (!changed)
        return;
    Cap(true);
    UpdateBMP();
}

void TSchemEdit::RBColorGridKeyUp(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || !m_editing)
        return;
    m_editing = false;
    // Only the cell whose edit was escaped, should the current cell have moved since.
    if (m_editCell == QPoint(m_grid->Col(), m_grid->Row()))
        m_grid->SetCell(m_editCell.x(), m_editCell.y(), EditStartText);
}

void TSchemEdit::RBColorGridMouseUp(QMouseEvent *event, int col, int row)
{
    if (event->button() != Qt::RightButton || col != ColorCol || row < 1 || row >= m_grid->RowCount())
        return;
    m_grid->SetCurrentCell(col, row);
    const quint32 old = Clr::resolveColor(Clr::cellColor(m_grid->GetCell(col, row)));
    const QColor picked = prompts.pickColor(m_shell.window(), ColorFromNumber(old));
    if (!picked.isValid() || NumberFromColor(picked) == old)
        return;
    m_grid->SetCell(col, row, Clr::colorCell(NumberFromColor(picked)));
    Cap(true);
    UpdateBMP();
}

void TSchemEdit::closeEvent(QCloseEvent *event)
{
    const QMessageBox::StandardButton answer = Modified ? prompts.askSave(this) : QMessageBox::No;
    bool closes = answer == QMessageBox::No;
    // A save that fails or is cancelled keeps the window and the changes.
    if (answer == QMessageBox::Yes)
        ErrorGuard::run(m_shell.window(), [&] { closes = saveNow(); });
    if (closes)
        event->accept();
    else
        event->ignore();
}
