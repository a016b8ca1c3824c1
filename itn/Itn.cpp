// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/Itn.h"

#include "grid/CoordinateEditing.h"
#include "grid/EscapeWatch.h"
#include "grid/FindDialog.h"
#include "grid/RBItnGrid.h"
#include "itn/ItnFormat.h"
#include "itn/ItnLogic.h"
#include "exchange/MapLink.h"
#include "exchange/TargeoImport.h"
#include "poi/GpxMenus.h"
#include "core/Ov2Units.h"
#include "platform/DeviceCodec.h"
#include "platform/DeviceFiles.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "platform/Progress.h"
#include "core/Settings.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

#include <QCloseEvent>
#include <QDir>
#include <QDomDocument>
#include <QDrag>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>
#include <QMimeData>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {
const char kPointMime[] = "application/x-korvix-itn-point";
} // namespace

TItnEdit::TItnEdit(IShell &shell, QWidget *parent) : QWidget(parent), dialogs(EditorDialogs::platform()), m_shell(shell)
{
    setAttribute(Qt::WA_DeleteOnClose);

    m_grid = new TRBItnGrid(this);
    m_grid->setObjectName(QStringLiteral("ItnGrid"));
    m_grid->SetColCount(5);
    m_grid->SetRowCount(2);
    m_grid->SetAutoSize(true);
    m_grid->SetHeader(TRBParams{tr("LP"), tr("Longitude"), tr("Latitude "), tr("Name"), tr("Flag")});
    m_grid->SetNumbers(true);
    m_grid->SetHasHeader(true);
    m_grid->SetEnableRowEdit(true);
    m_grid->SetAutoAddRow(true);
    m_grid->SetAutoRowColor(12648447);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    m_grid->SetGridFont(font);
    m_grid->SetDefaultRowHeight(17);
    m_grid->SetImageList(TRBItnGrid::DefaultFlagImages());
    m_grid->OnChanged = [this](TRBGrid *) { Cap(true); };
    // Every change of the points is a step back; the mark follows the saved step.
    auto *undo = new QUndoStack(this);
    m_grid->SetUndoStack(undo);
    m_grid->SetSortable(true);
    // The grid as the context: it goes before the stack, which signals as it goes.
    connect(undo, &QUndoStack::cleanChanged, m_grid, [this](bool clean) { Cap(!clean); });
    m_grid->OnPaste = [this](TRBGrid *sender, QString &text, bool &ok) { ItnGridPaste(sender, text, ok); };
    // Typed forms become units; cells a save refuses are red and say why.
    CoordinateEditing::install(m_grid, 4, [this](const QString &why) { m_shell.SetStatus(why); });
    m_grid->viewport()->installEventFilter(this);
    m_grid->viewport()->setAcceptDrops(true);

    m_tools = new QMenu(tr("Tools"), this);
    // No shortcut: Ctrl+R belongs to the main window's Edit > Reverse (row marks).
    m_tools->addAction(tr("Reverse"), this, [this] { guarded([this] { Reverse1Click(); }); });
    m_tools->addAction(tr("SaveAsCurrent"), this, [this] { guarded([this] { SaveAsCurrent1Click(); }); });
    QMenu *import = m_tools->addMenu(tr("Import"));
    import->addAction(tr("Targeo *.atm"), this, [this] { guarded([this] { ImportzTargeo1Click(); }); });
    QMenu *maps = import->addMenu(tr("GoogleMaps"));
    maps->addAction(tr("Link"), this, [this] { guarded([this] { Link1Click(); }); });
    maps->addAction(tr("Kml"), this, [this] { guarded([this] { Kml1Click(); }); });
    auto *exchange = new GpxExchange(this, GpxExchange::List::Itinerary,
                                     {[this]() -> const TRBParamsTable & { return m_grid->Table(); },
                                      [this] { return m_path; },
                                      [this](const std::vector<GeoPoint> &points) {
                                          std::vector<Itn::ImportedPoint> add;
                                          add.reserve(points.size());
                                          for (const GeoPoint &p : points)
                                              add.push_back({formatOv2Degrees(p.lon), formatOv2Degrees(p.lat), p.name});
                                          AddItnPoints(add);
                                      }});
    exchange->addImportAction(import);
    exchange->addExportMenu(m_tools);

    auto *bar = new QMenuBar(this);
    bar->addMenu(m_tools);
    m_bar = bar;
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->setMenuBar(bar);
    lay->addWidget(m_grid);
    Cap(false);
}

TItnEdit::~TItnEdit() = default;

int TItnEdit::gridRowCount() const { return m_grid->RowCount(); }

void TItnEdit::hideOwnMenuBar()
{
    m_bar->hide();
    // The main window shows the export entries under its File menu.
    if (QMenu *m = exportMenu())
        m->menuAction()->setVisible(false);
}

QMenu *TItnEdit::exportMenu()
{
    const auto *exchange = findChild<GpxExchange *>();
    return exchange ? exchange->exportMenu() : nullptr;
}

void TItnEdit::guarded(const std::function<void()> &command) { ErrorGuard::run(m_shell.window(), command); }

void TItnEdit::Cap(bool modified)
{
    m_modified = modified;
    setWindowTitle(m_path + (modified ? QStringLiteral("*") : QString()));
}

void TItnEdit::resetGrid()
{
    TRBParamsTable &t = m_grid->Table();
    t.SetRowCount(1);
    t.SetRowCount(2);
    m_grid->TableChanged();
}

// ---- opening and saving --------------------------------------------------------------

void TItnEdit::Open(const QString &path)
{
    const DeviceCodec codec = DeviceCodec::fromSettings(m_shell.settings());
    const QStringList lines = Itn::splitLines(codec.toUnicode(Itn::readInputFile(path)));
    if (lines.isEmpty())
        return;
    m_grid->HideEditor();
    m_shell.ShowProgress(tr("OpenItn"), 0, int(lines.size()), 0);
    ProgressTicker ticker(&m_shell);
    TRBParamsTable &t = m_grid->Table();
    t.SetRowCount(1);
    t.Reserve(int(lines.size()) + 1);
    for (int i = 0; i < lines.size(); ++i) {
        t.AppendRow(Itn::rowFromLine(lines[i]));
        ticker.tick(i + 1);
    }
    t.SetColCount(5);
    m_grid->TableChanged();
    m_grid->UndoStack()->clear();
    m_path = path;
    Cap(false);
    m_shell.SetStatus(QString());
}

MapPayload TItnEdit::mapPayload()
{
    m_grid->HideEditor();
    return MapPayload{MapPayload::Kind::Itinerary, &m_grid->Table(), QImage()};
}

void TItnEdit::New(const QString &path)
{
    resetGrid();
    m_grid->UndoStack()->clear();
    m_path = path;
    Cap(false);
}

void TItnEdit::Save()
{
    const QString name = QFileInfo(m_path).fileName();
    if (!m_path.isEmpty() && !m_path.endsWith(u'/') && !name.isEmpty())
        SaveITN(m_path);
    else
        saveAsDialog();
}

void TItnEdit::SaveAs() { saveAsDialog(); }

bool TItnEdit::saveAsDialog()
{
    QString start = m_path;
    if (start.isEmpty())
        start = Folders::UserDataFolder();
    int filter = 0;
    const QString file = dialogs.saveFile(m_shell.window(), start, {QStringLiteral("TT Itinerary (*.itn)")}, filter);
    if (file.isEmpty())
        return false;
    return SaveITN(file);
}

bool TItnEdit::SaveITN(const QString &path)
{
    m_grid->HideEditor();
    Itn::pointRows(m_grid->Table()); // a row the save refuses is named before the split question
    bool split = false;
    if (Itn::needsSplitQuestion(m_grid->RowCount())) {
        const auto answer =
            dialogs.ask(m_shell.window(), tr("Uwaga!"),
                        tr("TomTom obsługuje tylko 48 punktów trasy") + u'\r' + tr("Podzielić na mniejsze pliki ?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer != QMessageBox::Yes && answer != QMessageBox::No)
            return false;
        split = answer == QMessageBox::Yes;
    }
    m_grid->HideEditor();
    Itn::writeRows(path, m_grid->Table(), split, DeviceCodec::fromSettings(m_shell.settings()), &m_shell);
    m_path = path;
    m_grid->UndoStack()->setClean();
    Cap(false);
    m_shell.UpdateTreeView(path, 2);
    return true;
}

void TItnEdit::SaveAsCurrent1Click()
{
    const QString root = m_shell.GetTTPath();
    QString folder = DeviceFiles::find(root, QStringLiteral("itn"));
    if (folder.isEmpty()) {
        folder = root + QStringLiteral("itn");
        QDir().mkpath(folder);
    }
    SaveITN(folder + QStringLiteral("/temporary.iti"));
}

void TItnEdit::closeEvent(QCloseEvent *event)
{
    if (!m_modified) {
        event->accept();
        return;
    }
    const auto answer = dialogs.ask(this, tr("Itn"), tr("Do you want to save changes?"),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer != QMessageBox::Yes && answer != QMessageBox::No) {
        event->ignore();
        return;
    }
    if (answer == QMessageBox::Yes) {
        ErrorGuard::run(m_shell.window(), [this] { Save(); });
        // A cancelled save dialog or a failed write keeps the window and the changes.
        if (m_modified) {
            event->ignore();
            return;
        }
    } else {
        Cap(false);
    }
    event->accept();
}

// ---- points ----------------------------------------------------------------------------

void TItnEdit::AddItn(const QString &lon, const QString &lat, const QString &name)
{
    const Itn::PointCells c = Itn::pointCells(lon, lat, name);
    m_grid->BeginChange(QStringLiteral("AddItn"));
    int row;
    if (m_grid->RowCount() == 2 && m_grid->GetCell(1, 1).isEmpty() && m_grid->GetCell(2, 1).isEmpty()) {
        row = 1;
    } else {
        row = m_grid->RowCount();
        m_grid->SetRowCount(row + 1);
    }
    m_grid->SetCell(1, row, c.lon);
    m_grid->SetCell(2, row, c.lat);
    m_grid->SetCell(3, row, c.name);
    m_grid->SetCell(4, row, c.flag);
    m_grid->EndChange();
    m_grid->MarkRow(row, RBFlags::RowAdded);
    Cap(true);
}

void TItnEdit::AddItnPoints(const std::vector<Itn::ImportedPoint> &points)
{
    if (points.empty())
        return;
    if (points.size() == 1) {
        AddItn(points[0].lon, points[0].lat, points[0].name);
        return;
    }
    // One table change for the lot: the same rows as AddItn one by one.
    m_grid->HideEditor();
    TRBParamsTable &t = m_grid->Table();
    size_t i = 0;
    int first = t.RowCount();
    const int oldRowCount = t.RowCount();
    m_grid->BeginChange(QStringLiteral("AddItn"));
    if (t.RowCount() == 2 && t.Cell(1, 1).isEmpty() && t.Cell(2, 1).isEmpty()) {
        std::vector<TRBParams> before{std::as_const(t).Row(1)};
        const Itn::PointCells c = Itn::pointCells(points[0].lon, points[0].lat, points[0].name);
        TRBParams &r = t.Row(1);
        r.SetField(1, c.lon);
        r.SetField(2, c.lat);
        r.SetField(3, c.name);
        r.SetField(4, c.flag);
        m_grid->RecordRowChanges({1}, std::move(before));
        first = 1;
        i = 1;
    }
    t.Reserve(t.RowCount() + int(points.size() - i));
    for (; i < points.size(); ++i) {
        const Itn::PointCells c = Itn::pointCells(points[i].lon, points[i].lat, points[i].name);
        t.AppendFields({QString(), c.lon, c.lat, c.name, c.flag});
    }
    m_grid->TableChanged();
    m_grid->RecordAppendedRows(oldRowCount);
    m_grid->EndChange();
    for (int r = first; r < m_grid->RowCount(); ++r)
        m_grid->MarkRow(r, RBFlags::RowAdded);
    Cap(true);
}

void TItnEdit::Reverse1Click()
{
    m_grid->HideEditor();
    const int half = (m_grid->RowCount() - 1) / 2;
    const EscapeWatch escape;
    m_shell.ShowProgress(tr("Reversing itinerary"), 0, std::max(half, 1), 0);
    ProgressTicker ticker(&m_shell);
    std::vector<int> rows;
    std::vector<TRBParams> before;
    for (int r = 1; r < m_grid->RowCount(); ++r) {
        rows.push_back(r);
        before.push_back(std::as_const(m_grid->Table()).Row(r));
    }
    const int pairs = Itn::reverseRows(m_grid->Table(), [&](int pos) {
        ticker.tick(pos);
        return escape.stopped();
    });
    if (pairs > 0)
        m_grid->RecordRowChanges(rows, std::move(before));
    m_grid->InvalidateGrid();
    m_shell.SetStatus(QString());
    // Reversed points are a change like any other: closing asks before losing it.
    if (pairs > 0)
        Cap(true);
}

void TItnEdit::Duplicates()
{
    m_grid->HideEditor();
    // At 0 m only identical points would count: the distance is asked once and kept.
    int maxDistance = Prefs::lists(m_shell.settings()).maxDistance();
    if (maxDistance <= 0) {
        bool ok = false;
        maxDistance = dialogs.askDistance ? dialogs.askDistance(m_shell.window(), 50, ok) : 0;
        if (!ok || maxDistance <= 0)
            return;
        Prefs::lists(m_shell.settings()).setMaxDistance(maxDistance);
    }
    m_grid->UnmarkAllRows(0xFF);
    const EscapeWatch escape;
    m_shell.ShowProgress(tr("Find Duplicates"), 1, std::max(m_grid->RowCount(), 2), 1);
    ProgressTicker ticker(&m_shell);
    const Itn::DuplicateMarks marks = Itn::findDuplicates(m_grid->Table(), maxDistance, [&](int row) {
        ticker.tick(row);
        return escape.stopped();
    });
    int marked = 0;
    for (int r = 1; r < int(marks.bits.size()); ++r) {
        if (marks.bits[size_t(r)])
            m_grid->MarkRow(r, marks.bits[size_t(r)]);
        if ((marks.bits[size_t(r)] & 0xC0) == 0xC0)
            ++marked;
    }
    if (marks.firstGroupRow > 0)
        m_grid->SetCurrentCell(1, marks.firstGroupRow);
    m_shell.SetStatus(marked == 0   ? tr("No duplicates within %1 m").arg(maxDistance)
                      : marked == 1 ? tr("Marked 1 duplicate within %1 m").arg(maxDistance)
                                    : tr("Marked %1 duplicates within %2 m").arg(marked).arg(maxDistance));
}

void TItnEdit::ShowFind()
{
    if (!m_find) {
        m_find = new TFindDialog(this);
        connect(m_find, &TFindDialog::find, this, &TItnEdit::FindDialogFind);
    }
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

void TItnEdit::FindDialogFind(const QString &text, bool down, bool matchCase)
{
    const int row = Itn::findName(m_grid->Table(), m_grid->Row(), text, down, matchCase);
    if (row > 0)
        m_grid->SetCurrentCell(3, row);
}

bool TItnEdit::SwapPoints(int from, int to)
{
    if (!Itn::canSwap(from, to, m_grid->RowCount()))
        return false;
    std::vector<TRBParams> before{std::as_const(m_grid->Table()).Row(from), std::as_const(m_grid->Table()).Row(to)};
    Itn::swapPoints(m_grid->Table(), from, to);
    m_grid->RecordRowChanges({from, to}, std::move(before));
    m_grid->InvalidateGrid();
    Cap(true);
    return true;
}

// ---- imports -----------------------------------------------------------------------------

void TItnEdit::ImportKML(const QDomDocument &doc)
{
    const Itn::KmlPoints kml = Itn::ImportKML(doc);
    AddItnPoints(kml.points);
    if (!kml.valid)
        dialogs.message(m_shell.window(), tr("Error"), Itn::invalidKmlMessage(), kml.reason);
}

void TItnEdit::ImportKML(const QByteArray &bytes)
{
    // Read as a stream: no document model of a large file.
    const Itn::KmlPoints kml = Itn::ImportKML(bytes);
    AddItnPoints(kml.points);
    if (!kml.valid)
        dialogs.message(m_shell.window(), tr("Error"), Itn::invalidKmlMessage(), kml.reason);
}

void TItnEdit::Kml1Click()
{
    const QString file = dialogs.openFile(m_shell.window(), QFileInfo(m_path).path(),
                                          {QStringLiteral("GggoleMaps *.kml (*.kml)"), QStringLiteral("All (*)")});
    if (file.isEmpty())
        return;
    ImportKML(Itn::readInputFile(file, Itn::MaxKmlBytes));
}

void TItnEdit::Link1Click()
{
    const QString link = dialogs.clipboardText().trimmed();
    if (const auto point = Itn::pointFromMapLink(link)) {
        AddItn(point->lon, point->lat, point->name);
        return;
    }
    if (!Itn::isHttpLink(link)) {
        dialogs.message(m_shell.window(), tr("Uwaga!"), Itn::noLinkMessage(), QString());
        return;
    }
    const QByteArray answer = Itn::fetchMapLink(m_shell.http(), Itn::fetchUrl(Itn::kmlRequestUrl(link)));
    ImportKML(answer);
}

void TItnEdit::ImportzTargeo1Click()
{
    const QString file = dialogs.openFile(m_shell.window(), QFileInfo(m_path).path(),
                                          {QStringLiteral("Targeo *.atm (*.atm)"), QStringLiteral("All (*)")});
    if (file.isEmpty())
        return;
    importTargeoFile(file);
}

void TItnEdit::importTargeoFile(const QString &path)
{
    const QByteArray bytes = Itn::readInputFile(path);
    AddItnPoints(Itn::ReadTargeoRoute(DeviceCodec::fromSettings(m_shell.settings()).toUnicode(bytes)));
}

void TItnEdit::ItnGridPaste(TRBGrid *, QString &text, bool &)
{
    Itn::KmlPasteRows(text);
}

// ---- swapping points by drag and drop ------------------------------------------------------

bool TItnEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_grid->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        m_pressed = e->button() == Qt::LeftButton
                    && !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
        if (m_pressed) {
            m_pressPos = e->position().toPoint();
            const QPoint cell = m_grid->MouseCoord(m_pressPos);
            m_dragCol = cell.x();
            m_dragRow = cell.y();
        }
        break;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (!m_pressed || !(e->buttons() & Qt::LeftButton))
            break;
        if ((e->position().toPoint() - m_pressPos).manhattanLength() < 10)
            return true;
        m_pressed = false;
        if (m_dragRow < 1)
            return true;
        auto *drag = new QDrag(m_grid);
        auto *mime = new QMimeData;
        mime->setData(QLatin1String(kPointMime), QByteArray::number(quintptr(this)) + ' '
                                                     + QByteArray::number(m_dragRow));
        drag->setMimeData(mime);
        drag->exec(Qt::MoveAction);
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_pressed = false;
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        PointDragEvent(static_cast<QDropEvent *>(event));
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TItnEdit::PointDragEvent(QDropEvent *e)
{
    m_grid->HideEditor();
    const QList<QByteArray> data = e->mimeData()->data(QLatin1String(kPointMime)).split(' ');
    const bool ours = data.size() == 2 && data[0] == QByteArray::number(quintptr(this));
    if (e->type() == QEvent::DragEnter) {
        // Enter must be taken for the moves to follow; the moves decide.
        if (ours)
            e->acceptProposedAction();
        else
            e->ignore();
        return;
    }
    const int from = ours ? data[1].toInt() : -1;
    const int to = m_grid->MouseCoord(e->position().toPoint()).y();
    if (!ours || !Itn::canSwap(from, to, m_grid->RowCount())) {
        e->ignore();
        return;
    }
    if (e->type() == QEvent::Drop)
        SwapPoints(from, to);
    e->acceptProposedAction();
}
