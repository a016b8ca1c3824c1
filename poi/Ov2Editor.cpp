// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Ov2Editor.h"

#include "grid/CoordinateEditing.h"
#include "grid/EscapeWatch.h"
#include "grid/FindDialog.h"
#include "grid/RBGrids.h"
#include "exchange/KmlImport.h"
#include "media/AudioKit.h"
#include "media/IconEdit.h"
#include "media/ImgFile.h"
#include "media/PoiPin.h"
#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/DeviceCodec.h"
#include "platform/DeviceFiles.h"
#include "platform/Error.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "core/Duplicates.h"
#include "poi/Feeds.h"
#include "poi/GpxMenus.h"
#include "poi/LatLng.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Table.h"
#include "core/Ov2Units.h"
#include "poi/Ov2Writer.h"
#include "poi/PoiSave.h"
#include "poi/PoiSelect.h"
#include "exchange/PoiTextExport.h"

#include <QAction>
#include <QActionEvent>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr TRBColor PaleYellow = 12648447; // 0x00C0FFFF
constexpr int EditFrame = 8;              // palette entry of the row in the coordinate dialog

// An icon in its frame: black, red while the icon editor has it.
class IconFrame : public QWidget {
public:
    IconFrame(int side, QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(side, side);
        setCursor(Qt::PointingHandCursor);
    }
    QImage icon;
    bool editing = false;
    std::function<void()> onClick, onRightRelease;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (!icon.isNull())
            p.drawImage(QRect(1, 1, width() - 2, height() - 2), icon);
        p.setPen(editing ? Qt::red : Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton && onClick)
            onClick();
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::RightButton && onRightRelease)
            onRightRelease();
    }
};

QImage loadIcon(const QString &path, QString *warning)
{
    // Bytes through the bounded reader, never QImage::load on a path that may be a FIFO.
    const std::optional<QByteArray> bytes = FileReader::read(path, FileReader::MaxPictureBytes);
    const QImage img = bytes ? QImage::fromData(*bytes) : QImage();
    if (img.isNull()) {
        *warning = TOV2::tr("Can't read the icon %1").arg(QFileInfo(path).fileName());
        return {};
    }
    return img;
}

// A file name part is there when the path does not end in a folder separator.
bool hasFilePart(const QString &path)
{
    return !path.isEmpty() && !path.endsWith(u'/') && !path.endsWith(u'\\') && !QFileInfo(path).isDir();
}

} // namespace

// What SavePOI writes, taken from the window.
class TOV2::Parts : public PoiSaveParts {
public:
    explicit Parts(TOV2 &w) : m_w(w) {}
    void prepareList() override
    {
        m_w.m_grid->HideEditor();
        m_points = poiRowsToPoints(m_w.m_grid->Table(), DeviceCodec::fromSettings(m_w.m_shell.settings()));
    }
    bool soundEmpty() const override { return m_w.m_audio->isEmpty(); }
    void writeSound(const QString &oggPath) override
    {
        const TOggRunner &runner = m_w.m_audio->runner;
        if (!runner.EncodeOggFile(m_w.m_audio->storage.Wave, oggPath))
            throw KorvixError(PoiTexts::problemSaving());
    }
    void writeList(const QString &ov2Path) override
    {
        SaveOV2(ov2Path, m_points, &m_w.m_shell);
        m_w.FileName = ov2Path;
        m_w.m_captionBase = ov2Path;
    }
    bool smallIconEmpty() const override { return m_w.m_small.isNull(); }
    void writeSmallIcon(const QString &path) override { writeBmp(m_w.m_small, path); }
    bool largeIconEmpty() const override { return m_w.m_large.isNull(); }
    void writeLargeIcon(const QString &path) override { writeBmp(m_w.m_large, path); }
    void saved(int bits) override { m_w.Saved(bits); }

private:
    static void writeBmp(const QImage &icon, const QString &path)
    {
        const QString error = AtomicFile::write(path, ImgFile::encodeBmp(icon.convertToFormat(QImage::Format_RGB888), 24));
        if (!error.isEmpty())
            throw KorvixError(QFileInfo(path).fileName() + QStringLiteral(": ") + error);
    }
    TOV2 &m_w;
    Ov2PointList m_points;
};

TOV2::TOV2(IShell &shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(400, 200);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_bar = new QMenuBar(this);
    m_tools = m_bar->addMenu(tr("Tools"));
    // The feed imports fill it; an empty submenu would only puzzle.
    m_import = m_tools->addMenu(tr("Import"));
    m_import->menuAction()->setVisible(false);
    m_import->installEventFilter(this);
    auto *exchange = new GpxExchange(this, GpxExchange::List::Pois,
                                     {[this]() -> const TRBParamsTable & { return m_grid->Table(); },
                                      [this] { return FileName; },
                                      [this](const std::vector<GeoPoint> &points) {
                                          m_grid->BeginChange(QStringLiteral("Import"));
                                          for (const GeoPoint &p : points)
                                              AddPoi(formatOv2Degrees(p.lon), formatOv2Degrees(p.lat), p.name);
                                          m_grid->EndChange();
                                      }});
    exchange->addImportAction(m_import);
    exchange->addExportMenu(m_tools);
    layout->setMenuBar(m_bar);

    // Top strip: small icon, large icon, the waveform box.
    auto *strip = new QWidget(this);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(2, 2, 2, 2);
    auto *small = new IconFrame(24, strip);
    auto *large = new IconFrame(46, strip);
    small->onClick = [this] { editIcon(false); };
    large->onClick = [this] { editIcon(true); };
    small->onRightRelease = [this] { clearIcon(false); };
    large->onRightRelease = [this] { clearIcon(true); };
    m_smallFrame = small;
    m_largeFrame = large;
    stripLayout->addWidget(small, 0, Qt::AlignTop);
    stripLayout->addWidget(large, 0, Qt::AlignTop);
    m_audio = new TAudioKit(strip, this);
    m_audio->box()->setMinimumHeight(46);
    stripLayout->addWidget(m_audio->box(), 1);
    strip->setFixedHeight(54);
    layout->addWidget(strip);

    // The list, with room on its right for the small map panel.
    m_split = new QSplitter(Qt::Horizontal, this);
    m_grid = new TRBGrid(m_split);
    m_grid->SetColCount(5);
    m_grid->SetRowCount(2);
    m_grid->SetHeader(TRBParams{tr("LP"), tr("Longitude"), tr("Latitude"), tr("Description"), tr("Type/Level")});
    m_grid->SetNumbers(true);
    m_grid->SetHasHeader(true);
    m_grid->SetAutoSize(true);
    m_grid->SetEnableRowEdit(true);
    m_grid->SetAutoAddRow(true);
    m_grid->SetAutoRowColor(PaleYellow);
    m_grid->SetCellEditing(true);
    m_grid->setTabKeyNavigation(true);
    m_grid->OnChanged = [this](TRBGrid *) { gridChanged(); };
    // Every change of the list is a step back; the list's mark follows the saved step.
    auto *undo = new QUndoStack(this);
    m_grid->SetUndoStack(undo);
    m_grid->SetSortable(true);
    // The grid as the context: it goes before the stack, which signals as it goes.
    connect(undo, &QUndoStack::cleanChanged, m_grid, [this](bool clean) {
        if (!clean) {
            NeedSave(ListBit);
            return;
        }
        DirtyMask &= ~ListBit;
        Cap();
    });
    // A pasted KML document arrives as rows.
    m_grid->OnPaste = [](TRBGrid *, QString &text, bool &) { Itn::KmlPasteRows(text); };
    // Typed forms become units; cells a save refuses are red and say why.
    CoordinateEditing::install(m_grid, 3, [this](const QString &why) { m_shell.SetStatus(why); });
    m_split->addWidget(m_grid);
    m_split->setStretchFactor(0, 1);
    layout->addWidget(m_split, 1);

    auto *insert = new QShortcut(QKeySequence(Qt::Key_Insert), m_grid, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(insert, &QShortcut::activated, this, &TOV2::InsertRow);
    // The list's own menu: the marked rows, or the current row or cell when none is marked.
    m_context = new QMenu(this);
    m_context->addAction(tr("Edit POI"), this, &TOV2::EditPoi);
    m_context->addSeparator();
    m_context->addAction(tr("Insert row above"), this, [this] {
        const int row = qMax(1, m_grid->Row());
        m_grid->InsertEmptyRow(row);
        m_grid->SetCurrentCell(qMax(m_grid->Col(), 1), row);
    });
    m_context->addAction(tr("Delete rows"), this, [this] { m_grid->DeleteSelectedRows(); });
    m_context->addSeparator();
    m_context->addAction(tr("Cut"), this, [this] { m_grid->CutSelection(); });
    m_context->addAction(tr("Copy"), this, [this] { m_grid->CopySelection(); });
    m_context->addAction(tr("Paste"), this, [this] { m_grid->PasteRows(); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_context->popup(m_grid->viewport()->mapToGlobal(pos)); });

    dialogs = EditorDialogs::platform();
    dialogs.editCoordinates = [](QWidget *parent, const QString &input) {
        TLatLng *dlg = TLatLng::instance(parent);
        dlg->setInput(input);
        return dlg->exec() == QDialog::Accepted;
    };
    dialogs.editIcon = [](QWidget *parent, QImage &icon) { return TIconEdit::edit(icon, parent); };
    m_grid->OnFindNext = [this](TRBGrid *, bool forward) {
        if (m_stepFinds && !FindText.isEmpty())
            findNext(FindText, forward, m_findMatchCase);
        else
            m_grid->StepToMarked(forward);
    };
    installImports();

    FileName.clear();
    m_captionBase = tr("OV2View");
    setSmallIcon({});
    Cap();
}

TOV2::~TOV2() = default;

// ---- state ------------------------------------------------------------------------------

bool TOV2::isRecording() const { return m_audio->isRecording(); }
bool TOV2::isPlaying() const { return m_audio->isPlaying(); }
bool TOV2::isWaveEmpty() const { return m_audio->isEmpty(); }
bool TOV2::hasWaveSelection() const { return m_audio->box()->HasSelection(); }
int TOV2::gridRowCount() const { return m_grid->RowCount(); }
TRBSoundBox *TOV2::soundBox() const { return m_audio->box(); }
TFindDialog *TOV2::findDialog() const { return m_find; }

void TOV2::hideOwnMenuBar()
{
    m_bar->hide();
    // The main window shows the export entries under its File menu.
    if (QMenu *m = exportMenu())
        m->menuAction()->setVisible(false);
}

QMenu *TOV2::exportMenu()
{
    const auto *exchange = findChild<GpxExchange *>();
    return exchange ? exchange->exportMenu() : nullptr;
}

void TOV2::setSmallIcon(const QImage &icon)
{
    m_small = icon;
    auto *f = static_cast<IconFrame *>(m_smallFrame);
    f->icon = icon;
    f->update();
}

void TOV2::setLargeIcon(const QImage &icon)
{
    m_large = icon;
    auto *f = static_cast<IconFrame *>(m_largeFrame);
    f->icon = icon;
    f->update();
}

QImage TOV2::defaultIcon()
{
    return defaultPoiIcon();
}

void TOV2::NeedSave(int bits)
{
    DirtyMask |= bits;
    Cap();
}

void TOV2::Saved(int bits)
{
    DirtyMask &= ~bits;
    if (bits & ListBit)
        m_grid->UndoStack()->setClean();
    Cap();
}

void TOV2::Cap()
{
    setWindowTitle(DirtyMask ? m_captionBase + QStringLiteral("*") : m_captionBase);
}

void TOV2::gridChanged()
{
    NeedSave(ListBit);
}

QString TOV2::baseName() const
{
    return poiCompanionPaths(FileName).base;
}

// ---- documents --------------------------------------------------------------------------

void TOV2::New(const QString &folder)
{
    FileName = folder.endsWith(u'/') ? folder : folder + u'/';
    m_captionBase = FileName;
    setSmallIcon(defaultIcon());
    NeedSave(ListBit);
    // A new list is unsaved whatever is undone.
    m_grid->UndoStack()->clear();
    m_grid->UndoStack()->resetClean();
}

bool TOV2::OpenOV2(const QString &file)
{
    FileName = file;
    m_captionBase = file;
    const DeviceCodec codec = DeviceCodec::fromSettings(m_shell.settings());
    Ov2Data data;
    const QString error = readOv2File(file, data, &m_shell);
    if (error.isEmpty() || !data.pois.empty())
        fillPoiRows(data, m_grid->Table(), codec, &m_shell);
    data = Ov2Data();
    if (m_grid->RowCount() < 2)
        m_grid->Table().SetRowCount(2);
    m_grid->TableChanged();
    m_grid->UndoStack()->clear();
    m_grid->SetCurrentCell(1, 1);
    if (!error.isEmpty()) {
        // Only the folder stays: a save must never put this part of the list over
        // the file it came from.
        FileName = QFileInfo(file).absolutePath() + u'/';
        m_shell.SetStatus(QString());
        Cap();
        dialogs.message(this, tr("Error"), Ov2Texts::cantOpen(), error);
        return false;
    }
    QStringList warnings;
    loadCompanions(warnings);
    m_shell.SetStatus(warnings.join(QStringLiteral("; ")));
    NeedSave(0);
    return true;
}

void TOV2::loadCompanions(QStringList &warnings)
{
    const QFileInfo fi(FileName);
    const QString dir = fi.path();
    const QString base = QFileInfo(baseName()).fileName();
    QString warning;
    const QString bmp = DeviceFiles::find(dir, base + QStringLiteral(".bmp"));
    QImage small = bmp.isEmpty() ? QImage() : loadIcon(bmp, &warning);
    if (!warning.isEmpty())
        warnings << warning;
    setSmallIcon(small.isNull() ? defaultIcon() : small);
    warning.clear();
    const QString x2 = DeviceFiles::find(dir, base + QStringLiteral("_X2.bmp"));
    setLargeIcon(x2.isEmpty() ? QImage() : loadIcon(x2, &warning));
    if (!warning.isEmpty())
        warnings << warning;

    const QString ogg = DeviceFiles::find(dir, base + QStringLiteral(".ogg"));
    const QString wav = DeviceFiles::find(dir, base + QStringLiteral(".wav"));
    bool loaded = !ogg.isEmpty() && loadSoundFile(ogg, true);
    if (!loaded && !wav.isEmpty())
        loaded = loadSoundFile(wav, false);
    if (!loaded && (!ogg.isEmpty() || !wav.isEmpty()))
        warnings << tr("Can't read the sound %1").arg(QFileInfo(ogg.isEmpty() ? wav : ogg).fileName());
    if (loaded)
        m_audio->box()->RefreshWave(true);
}

bool TOV2::loadSoundFile(const QString &path, bool decode)
{
    // Read as it is: the document keeps the file's own format.
    TWave &wave = m_audio->storage.Wave;
    if (decode)
        return m_audio->runner.DecodeOggFile(path, wave);
    return wave.LoadFromFile(path);
}

void TOV2::OpenTTPoi(const QString &file, const QString &category)
{
    m_captionBase = file + QStringLiteral(":") + category;
    FileName.clear();
    Cap();
    const QString error = readPoiDatIntoTable(file, category, m_grid->Table(),
                                              DeviceCodec::fromSettings(m_shell.settings()), &m_shell);
    if (m_grid->RowCount() < 2)
        m_grid->Table().SetRowCount(2);
    m_grid->TableChanged();
    m_grid->UndoStack()->clear();
    m_grid->SetCurrentCell(1, 1);
    m_shell.SetStatus(QString());
    if (!error.isEmpty())
        throw KorvixError(error);
    setSmallIcon(defaultIcon());
}

MapPayload TOV2::mapPayload()
{
    m_grid->HideEditor();
    return MapPayload{MapPayload::Kind::PoiList, &m_grid->Table(), smallIcon()};
}

void TOV2::AddPoi(const QString &longitude, const QString &latitude, const QString &description)
{
    int row;
    if (m_grid->RowCount() == 2 && m_grid->GetCell(1, 1).isEmpty() && m_grid->GetCell(2, 1).isEmpty())
        row = 1;
    else
        row = m_grid->RowCount();
    // The fields as the list appends them: a description over several lines (the
    // feeds' comments) becomes one line, never a cell with line breaks inside.
    TRBParams fields;
    fields.SetField(1, ToOV2Units(longitude));
    fields.SetField(2, ToOV2Units(latitude));
    fields.SetField(3, Feeds::poiDescription(description));
    m_grid->BeginChange(QStringLiteral("AddPoi"));
    for (int col = 1; col <= 3; ++col)
        m_grid->SetCell(col, row, fields.GetField(col));
    m_grid->EndChange();
    m_grid->MarkRow(row, RBFlags::RowAdded);
    NeedSave(AllBits);
}

void TOV2::Save()
{
    if (hasFilePart(FileName))
        SavePOI(FileName);
    else
        SaveAs();
}

bool TOV2::SavePOI(const QString &file)
{
    bool ok = true;
    Parts parts(*this);
    try {
        savePoiFiles(file, parts);
    } catch (const KorvixError &e) {
        ok = false;
        dialogs.message(this, tr("POI"), PoiTexts::saveRefused(e.message()), e.message());
    }
    m_shell.SetStatus(QString());
    if (!FileName.isEmpty())
        m_shell.UpdateTreeView(FileName, 1);
    return ok;
}

void TOV2::SaveAs()
{
    const QFileInfo fi(FileName);
    const QString dir = FileName.isEmpty() ? QString() : (hasFilePart(FileName) ? fi.path() : FileName);
    const QString name = hasFilePart(FileName) ? fi.completeBaseName() : QString();
    const QStringList filters{tr("TT POI Binary (ov2) (*.ov2)"), tr("Garmin/Navman csv (*.csv)"),
                              tr("Destinator asc (*.asc)"), tr("Route66 csv (*.csv)")};
    int filter = 0;
    const QString chosen = dialogs.saveFile(this, name.isEmpty() ? dir : QDir(dir).filePath(name), filters, filter);
    if (!chosen.isEmpty())
        saveAsTo(chosen, filter + 1);
}

bool TOV2::saveAsTo(const QString &chosen, int filter)
{
    if (filter <= 1)
        return SavePOI(chosen);
    const PoiTextFormat format = filter == 2 ? PoiTextFormat::PlainCsv
                                 : filter == 3 ? PoiTextFormat::Asc
                                               : PoiTextFormat::QuotedCsv;
    try {
        ExportPoiText(m_grid->Table(), poiTextExportFileName(chosen, format), format,
                      DeviceCodec::fromSettings(m_shell.settings()));
    } catch (const KorvixError &e) {
        dialogs.message(this, tr("POIEditor"), PoiTexts::saveRefused(e.message()), e.message());
        return false;
    }
    return true;
}

void TOV2::closeEvent(QCloseEvent *event)
{
    const QMessageBox::StandardButton answer =
        DirtyMask != 0 ? dialogs.ask(this, tr("POI"), tr("Do you want to save changes?"),
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
                       : QMessageBox::No;
    if (answer != QMessageBox::Yes && answer != QMessageBox::No) {
        event->ignore();
        return;
    }
    if (answer == QMessageBox::Yes) {
        // A save that failed or was cancelled keeps the window and the changes.
        if (hasFilePart(FileName)) {
            if (!SavePOI(FileName)) {
                event->ignore();
                return;
            }
        } else {
            SaveAs();
            if (DirtyMask & ListBit) {
                event->ignore();
                return;
            }
        }
    }
    if (m_job)
        m_job->stop();
    m_audio->Stop();
    if (m_find)
        m_find->close();
    event->accept();
}

// ---- list commands ----------------------------------------------------------------------

void TOV2::InsertRow()
{
    const int row = m_grid->RowCount();
    m_grid->InsertEmptyRow(row);
    m_grid->SetCurrentCell(std::max(m_grid->Col(), 1), row);
}

void TOV2::EditPoi()
{
    const int row = m_grid->Row();
    m_grid->MarkRow(row, EditFrame);
    const QString input = FromOV2Units(m_grid->GetCell(1, row)) + QStringLiteral(", ") + FromOV2Units(m_grid->GetCell(2, row));
    TLatLng *dialog = TLatLng::instance(this);
    dialog->setApplyHandler([this, row](qint32 lon, qint32 lat) { CoordinateEditing::writePosition(m_grid, row, lon, lat); });
    if (dialogs.editCoordinates(this, input))
        NeedSave(AllBits);
    dialog->setApplyHandler({});
    m_grid->UnmarkRow(row, EditFrame);
}

void TOV2::editIcon(bool large)
{
    auto *frame = static_cast<IconFrame *>(large ? m_largeFrame : m_smallFrame);
    const int side = large ? 44 : 22;
    QImage icon = large ? m_large : m_small;
    if (icon.isNull()) {
        icon = QImage(side, side, QImage::Format_RGB888);
        icon.fill(Qt::white);
    }
    frame->editing = true;
    frame->update();
    if (dialogs.editIcon(this, icon)) {
        if (large)
            setLargeIcon(icon);
        else
            setSmallIcon(icon);
        NeedSave(IconsBit);
    }
    frame->editing = false;
    frame->update();
}

void TOV2::clearIcon(bool large)
{
    if (large)
        setLargeIcon({});
    else
        setSmallIcon({});
    NeedSave(IconsBit);
}

bool TOV2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_import && (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionRemoved)) {
        const QAction *changed = static_cast<QActionEvent *>(event)->action();
        bool any = false;
        for (const QAction *a : m_import->actions())
            any = any || (a != changed || event->type() == QEvent::ActionAdded);
        m_import->menuAction()->setVisible(any);
    }
    return QWidget::eventFilter(watched, event);
}

// ---- sound ------------------------------------------------------------------------------

void TOV2::PlaySound()
{
    m_audio->Play();
}

void TOV2::RecSound()
{
    m_audio->storage.Wave.Clear();
    NeedSave(SoundBit);
    m_audio->Record();
}

void TOV2::StopSound()
{
    m_audio->Stop();
}

void TOV2::DelSound()
{
    const QFileInfo fi(FileName);
    const QString base = QFileInfo(baseName()).fileName();
    const QString ogg = DeviceFiles::find(fi.path(), base + QStringLiteral(".ogg"));
    const QString wav = DeviceFiles::find(fi.path(), base + QStringLiteral(".wav"));
    TRBSoundBox *box = m_audio->box();
    if (!ogg.isEmpty() && m_audio->LoadSound(ogg))
        return;
    if (!wav.isEmpty() && box->LoadWave(wav))
        return;
    m_audio->storage.Wave.Clear();
    box->RefreshWave(true);
}

void TOV2::ImportSound()
{
    const QString path = dialogs.openFile(this, QString(), {tr("Wave (*.wav)"), tr("Ogg (*.ogg)")});
    if (!path.isEmpty() && m_audio->LoadSound(path))
        NeedSave(AllBits);
}

void TOV2::DeleteSound()
{
    m_audio->box()->DeleteSelection();
    NeedSave(AllBits);
}

void TOV2::CropSound()
{
    m_audio->box()->CropToSelection();
    NeedSave(AllBits);
}

void TOV2::NormalizeSound()
{
    m_audio->box()->NormalizeWave();
    NeedSave(SoundBit);
}
