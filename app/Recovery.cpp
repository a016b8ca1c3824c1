// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Recovery.h"

#include "app/MainForm.h"
#include "core/RBParamsTable.h"
#include "grid/RBGrids.h"
#include "grid/RBItnGrid.h"
#include "itn/Itn.h"
#include "map/MiniMap.h"
#include "platform/AtomicFile.h"
#include "poi/Ov2Editor.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QtConcurrent>

struct TRecovery::Slot {
    // The connections to the editor end with the slot.
    QObject context;
    QPointer<QWidget> editor;
    TRBGrid *grid = nullptr;
    QString path;
    QTimer timer;
    qint64 firstChange = -1; // since the last write
    qint64 lastChange = -1;
    qint64 lastWrite = -1;
    bool writing = false;
    bool again = false; // changed while being written
    bool onDisk = false;
    bool gone = false; // the editor closed
    QFuture<QString> future;
};

namespace {

TRBGrid *gridOf(QWidget *editor)
{
    if (auto *poi = qobject_cast<TOV2 *>(editor))
        return poi->grid();
    if (auto *itn = qobject_cast<TItnEdit *>(editor))
        return itn->ItnGrid();
    return nullptr;
}

bool isModified(const QWidget *editor)
{
    const auto *e = dynamic_cast<const IEditor *>(editor);
    return e && e->isModified();
}

TRecovery::Answer askUser(QWidget *parent, const QStringList &lines)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(),
                    TRecovery::tr("Korvix was not closed properly. Recover these lists?"), QMessageBox::NoButton, parent);
    box.setInformativeText(lines.join(u'\n'));
    QPushButton *recover = box.addButton(TRecovery::tr("Recover"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(TRecovery::tr("Discard"), QMessageBox::DestructiveRole);
    QPushButton *later = box.addButton(TRecovery::tr("Later"), QMessageBox::RejectRole);
    box.setDefaultButton(recover);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == recover)
        return TRecovery::Answer::Recover;
    if (box.clickedButton() == discard)
        return TRecovery::Answer::Discard;
    return TRecovery::Answer::Later;
}

QString describe(const Recovery::Document &d)
{
    const QString file = d.header.fileName;
    const bool named = !file.isEmpty() && !file.endsWith(u'/');
    QString name = named ? QFileInfo(file).fileName()
                   : d.header.kind == Recovery::DocumentKind::Itinerary ? TRecovery::tr("New itinerary")
                                                                         : TRecovery::tr("New POI list");
    QString where = named ? QFileInfo(file).absolutePath() : file;
    if (where.isEmpty())
        where = d.header.device;
    const QString time = d.header.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return QStringLiteral("%1 \u2014 %2 \u2014 %3").arg(name, where.isEmpty() ? TRecovery::tr("no folder") : where, time);
}

} // namespace

TRecovery::TRecovery(TMainForm &form)
    : QObject(&form)
    , m_form(form)
    , m_folder(Recovery::folder())
    , m_instance(Recovery::newInstanceName())
    , m_quietMs(defaultQuietMs())
    , m_longestMs(4 * defaultQuietMs())
{
    m_clock.start();
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<Recovery::InstanceLock>(m_folder, m_instance);
    m_lock->tryTake();
    ask = askUser;
    warn = [](QWidget *parent, const QString &text) {
        QMessageBox::warning(parent, QApplication::applicationName(), text);
    };
    // Editors come and go through the window area; a new one is activated when added.
    connect(form.mdiArea(), &QMdiArea::subWindowActivated, this, [this] { attachEditors(); });
    form.mdiArea()->viewport()->installEventFilter(this);
}

TRecovery::~TRecovery()
{
    for (auto &slot : m_slots) {
        slot->timer.stop();
        slot->future.waitForFinished();
        if (!slot->path.isEmpty())
            QFile::remove(slot->path);
    }
    m_lock->release();
}

int TRecovery::defaultQuietMs()
{
    static const int ms = [] {
        bool ok = false;
        const int v = qEnvironmentVariableIntValue("KORVIX_RECOVERY_DELAY_MS", &ok);
        return ok && v > 0 ? v : 30000;
    }();
    return ms;
}

void TRecovery::setDelays(int quietMs, int longestMs)
{
    m_quietMs = quietMs;
    m_longestMs = longestMs;
}

QString TRecovery::fileOf(const QWidget *editor) const
{
    for (const auto &slot : m_slots)
        if (slot->editor == editor && slot->onDisk)
            return slot->path;
    return {};
}

bool TRecovery::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ChildAdded)
        QTimer::singleShot(0, this, [this] { attachEditors(); });
    return QObject::eventFilter(watched, event);
}

void TRecovery::attachEditors()
{
    for (QMdiSubWindow *sub : m_form.mdiArea()->subWindowList())
        attach(sub->widget());
}

TRecovery::Slot *TRecovery::attach(QWidget *editor)
{
    TRBGrid *grid = gridOf(editor);
    if (!grid)
        return nullptr;
    for (const auto &slot : m_slots)
        if (slot->editor == editor)
            return slot.get();
    auto owned = std::make_unique<Slot>();
    Slot *slot = owned.get();
    m_slots.push_back(std::move(owned));
    slot->editor = editor;
    slot->grid = grid;
    slot->path = m_folder + m_instance + u'-' + QString::number(++m_serial) + QLatin1String(Recovery::Suffix);
    slot->timer.setSingleShot(true);
    connect(&slot->timer, &QTimer::timeout, &slot->context, [this, slot] { writeNow(slot); });
    // The grid's one change signal, and the undo stack for undo and redo.
    connect(grid, &TRBGrid::changed, &slot->context, [this, slot] { changed(slot); });
    if (QUndoStack *undo = grid->UndoStack()) {
        connect(undo, &QUndoStack::indexChanged, &slot->context, [this, slot] { changed(slot); });
        // A save: nothing left to recover.
        connect(undo, &QUndoStack::cleanChanged, &slot->context, [this, slot](bool clean) {
            if (clean && !isModified(slot->editor))
                dropFile(slot);
        });
    }
    connect(editor, &QObject::destroyed, &slot->context, [this, slot] {
        // Saved or discarded on purpose: the file goes, once a running write is done.
        slot->gone = true;
        slot->timer.stop();
        if (!slot->writing)
            forget(slot);
    });
    return slot;
}

void TRecovery::changed(Slot *slot)
{
    const qint64 now = m_clock.elapsed();
    slot->lastChange = now;
    if (slot->firstChange < 0)
        slot->firstChange = now;
    arm(slot);
}

void TRecovery::arm(Slot *slot)
{
    // Quiet for a while after the last change, but never later than the longest
    // interval after the first unwritten change, and never sooner than that after
    // the last write.
    qint64 due = std::min(slot->lastChange + m_quietMs, slot->firstChange + m_longestMs);
    if (slot->lastWrite >= 0)
        due = std::max(due, slot->lastWrite + m_longestMs);
    slot->timer.start(int(std::max<qint64>(0, due - m_clock.elapsed())));
}

Recovery::Header TRecovery::headerOf(QWidget *editor) const
{
    Recovery::Header h;
    if (auto *poi = qobject_cast<TOV2 *>(editor)) {
        h.kind = Recovery::DocumentKind::PoiList;
        h.fileName = poi->FileName;
    } else if (auto *itn = qobject_cast<TItnEdit *>(editor)) {
        h.kind = Recovery::DocumentKind::Itinerary;
        h.fileName = itn->documentPath();
    }
    for (const QString &root : m_form.deviceRoots()) {
        const QString r = root.endsWith(u'/') ? root : root + u'/';
        if ((h.fileName.startsWith(r) || h.fileName + u'/' == r) && r.size() > h.device.size())
            h.device = root;
    }
    h.time = QDateTime::currentDateTimeUtc();
    h.instance = m_instance;
    return h;
}

TRecovery::Snapshot TRecovery::snapshot(const TRBParamsTable &table, Recovery::Header header)
{
    Snapshot s;
    s.header = std::move(header);
    s.colCount = table.ColCount();
    const int rows = table.RowCount();
    s.rows.reserve(size_t(rows));
    for (int r = 0; r < rows; ++r)
        s.rows.push_back(table.Row(r));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < s.colCount; ++c)
            if (const quint32 f = table.Flags(c, r))
                s.marks.push_back({r, c, f});
    return s;
}

QString TRecovery::write(const QString &path, const Snapshot &s)
{
    return Recovery::write(
        path, s.header, s.colCount, int(s.rows.size()),
        [&s](int r, std::vector<QStringView> &fields) {
            const TRBParams &row = s.rows[size_t(r)];
            for (int i = 0; i < row.Count(); ++i)
                fields.push_back(row.FieldView(i));
        },
        s.marks);
}

void TRecovery::writeNow(Slot *slot)
{
    if (slot->writing) {
        slot->again = true;
        return;
    }
    if (!slot->editor || !isModified(slot->editor)) {
        dropFile(slot);
        return;
    }
    // The cell being typed in stays open: its text joins at the next write.
    auto snap = std::make_shared<Snapshot>(snapshot(slot->grid->Table(), headerOf(slot->editor)));
    slot->writing = true;
    slot->firstChange = -1;
    slot->lastWrite = m_clock.elapsed();
    const QString path = slot->path;
    slot->future = QtConcurrent::run([path, snap]() mutable {
        QString error = write(path, *snap);
        snap.reset(); // the texts are let go on this thread, not the window's
        return error;
    });
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, slot, watcher] {
        watcher->deleteLater();
        writeDone(slot);
    });
    watcher->setFuture(slot->future);
}

void TRecovery::writeDone(Slot *slot)
{
    slot->writing = false;
    const QString error = slot->future.result();
    if (error.isEmpty())
        slot->onDisk = true;
    else
        m_form.SetStatus(tr("The recovery file %1 cannot be written: %2").arg(slot->path, error));
    emit written(slot->path, error);
    if (slot->gone) {
        forget(slot);
        return;
    }
    if (!isModified(slot->editor)) {
        dropFile(slot);
        return;
    }
    if (slot->again) {
        slot->again = false;
        arm(slot);
    }
}

void TRecovery::dropFile(Slot *slot)
{
    slot->timer.stop();
    slot->firstChange = -1;
    if (slot->writing) {
        slot->again = true; // checked again when the write ends
        return;
    }
    QFile::remove(slot->path);
    slot->onDisk = false;
}

void TRecovery::forget(Slot *slot)
{
    QFile::remove(slot->path);
    for (auto it = m_slots.begin(); it != m_slots.end(); ++it)
        if (it->get() == slot) {
            m_slots.erase(it);
            break;
        }
}

void TRecovery::fillTable(TRBParamsTable &table, const TRBParams &header, const Recovery::Document &d)
{
    table.Clear();
    table.SetColCount(d.colCount);
    table.Reserve(int(std::max<size_t>(d.rows.size(), 2)));
    table.AppendRow(header);
    for (size_t r = 1; r < d.rows.size(); ++r)
        table.AppendFields(d.rows[r]);
    if (table.RowCount() < 2)
        table.SetRowCount(2);
    table.SetColCount(std::max(d.colCount, table.ColCount()));
    for (const Recovery::Mark &m : d.marks)
        if (m.row > 0)
            table.SetFlags(m.col, m.row, m.flags);
}

QWidget *TRecovery::restore(const Recovery::Document &d)
{
    const QString file = d.header.fileName;
    const bool named = !file.isEmpty() && !file.endsWith(u'/');
    QWidget *editor = nullptr;
    TRBGrid *grid = nullptr;
    if (d.header.kind == Recovery::DocumentKind::Itinerary) {
        auto *itn = new TItnEdit(m_form);
        itn->New(file);
        editor = itn;
        grid = itn->ItnGrid();
    } else {
        auto *poi = new TOV2(m_form);
        new TMiniMap(*poi, m_form);
        if (named && QFileInfo(file).isFile()) {
            // Read for its icons and sound beside it; the rows come from the recovery file.
            poi->OpenOV2(file);
        } else {
            poi->New(named ? QFileInfo(file).absolutePath() : file);
        }
        poi->FileName = file;
        editor = poi;
        grid = poi->grid();
    }
    TRBParamsTable table;
    fillTable(table, grid->Table().Row(0), d);
    grid->SetTable(std::move(table));
    // Unsaved whatever is undone: the rows differ from the file.
    grid->UndoStack()->clear();
    grid->UndoStack()->resetClean();
    if (auto *poi = qobject_cast<TOV2 *>(editor))
        poi->NeedSave(TOV2::ListBit);
    else
        static_cast<TItnEdit *>(editor)->Cap(true);
    m_form.addEditorWindow(editor);
    grid->SetCurrentCell(1, 1);
    return editor;
}

void TRecovery::askAtStart()
{
    Recovery::Scan found = Recovery::scan(m_folder, m_instance);
    // Told on standard error first: the boxes below wait for the user.
    const QString unreadable = tr("A recovery file cannot be read and was set aside: %1");
    for (const QString &problem : found.problems)
        qWarning("%s", qPrintable(unreadable.arg(problem)));
    for (const Recovery::Found &f : found.files)
        qInfo("%s", qPrintable(tr("Lists of a run that did not end cleanly: %1").arg(f.path)));
    if (!found.problems.isEmpty())
        warn(&m_form, unreadable.arg(found.problems.join(u'\n')));
    if (!found.files.empty()) {
        QStringList lines;
        for (const Recovery::Found &f : found.files)
            lines << describe(f.document);
        const Answer answer = ask(&m_form, lines);
        for (const Recovery::Found &f : found.files) {
            if (answer == Answer::Recover) {
                QWidget *editor = restore(f.document);
                // The old file stays the list's until this run writes it anew.
                if (Slot *slot = attach(editor)) {
                    if (QFile::rename(f.path, slot->path)) {
                        slot->onDisk = true;
                        AtomicFile::syncFolder(m_folder);
                    }
                }
            } else if (answer == Answer::Discard) {
                QFile::remove(f.path);
            }
        }
    }
    // Later keeps the files; the ended runs' locks go, so the next start finds them.
    for (auto &lock : found.locks)
        lock->release();
}
