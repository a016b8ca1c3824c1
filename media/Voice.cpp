// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Voice.h"

#include "grid/RBGrids.h"
#include "media/AudioKit.h"
#include "media/VoiceChk.h"
#include "media/VoiceTables.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"
#include "platform/Question.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QPointer<TVoice> s_open;

// Clears the status (and with it the progress) and the opening state however an
// open or save ends.
class StatusReset {
public:
    StatusReset(IShell &shell, bool *flag = nullptr) : m_shell(shell), m_flag(flag) {}
    ~StatusReset()
    {
        m_shell.SetStatus(QString());
        if (m_flag)
            *m_flag = false;
    }

private:
    IShell &m_shell;
    bool *m_flag;
};

QComboBox *listBox(const QStringList &entries, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->addItems(entries);
    box->setCurrentIndex(-1);
    box->setMaxVisibleItems(20);
    return box;
}

} // namespace

TVoice::TVoice(IShell &shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
    , m_phraseFolder(VoiceChk::PhraseFolder())
{
    s_open = this;
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QMenuBar(this);
    m_tools = bar->addMenu(tr("Tools"));
    m_tools->addAction(tr("Speak all phrases..."), this,
                       [this] { ErrorGuard::run(m_shell.window(), [this] { SpeakClick(); }); });
    layout->setMenuBar(bar);
    m_bar = bar;

    auto *top = new QHBoxLayout;
    auto *form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_gender = listBox(VoiceTables::genders(), this);
    m_language = listBox(VoiceTables::languages(), this);
    m_flag = listBox(VoiceTables::flags(), this);
    form->addRow(tr("Name"), m_name);
    form->addRow(tr("Gender"), m_gender);
    form->addRow(tr("Language"), m_language);
    form->addRow(tr("Flag"), m_flag);
    top->addLayout(form, 1);
    m_pictureView = new QLabel(this);
    m_pictureView->setFixedSize(VoiceFile::PictureSide, VoiceFile::PictureSide);
    m_pictureView->setToolTip(tr("Click to choose the voice's picture"));
    m_pictureView->setCursor(Qt::PointingHandCursor);
    m_pictureView->installEventFilter(this);
    top->addWidget(m_pictureView);
    layout->addLayout(top);
    connect(m_name, &QLineEdit::textChanged, this, &TVoice::Edit1Change);
    for (QComboBox *box : {m_gender, m_language, m_flag})
        connect(box, &QComboBox::currentIndexChanged, this, &TVoice::Edit1Change);

    m_grid = new TRBGrid(this);
    m_grid->setObjectName(QStringLiteral("VoiceGrid"));
    buildTable();
    layout->addWidget(m_grid, 1);

    m_audio = new TAudioKit(this, this);
    m_audio->box()->setMinimumHeight(60);
    layout->addWidget(m_audio->box());
    connect(&m_audio->recorder, &TStockAudioRecorder::OnDeactivate, this, [this] { Cap(true); });

    m_picture = VoiceFile::blankPicture();
    showPicture();

    m_tick = new QTimer(this);
    m_tick->setInterval(TickMs);
    connect(m_tick, &QTimer::timeout, this, &TVoice::LMDHiTimer1Timer);
    m_tick->start();

    prompts.askSave = [](QWidget *parent) {
        return askToSaveChanges(parent, tr("Voices"), tr("Do you want to save changes?"));
    };
    prompts.saveFile = [](QWidget *parent, const QString &dir, const QString &name) {
        QFileDialog dlg(parent, QString(), dir);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setNameFilter(tr("TT Voice (VIF) (*.VIF *.vif)"));
        dlg.setDefaultSuffix(QStringLiteral("vif"));
        dlg.selectFile(name);
        return dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty() ? dlg.selectedFiles().first()
                                                                                 : QString();
    };
    prompts.openPicture = [](QWidget *parent, const QString &dir) {
        return QFileDialog::getOpenFileName(parent, QString(), dir, tr("Bitmap (*.bmp)"));
    };
    prompts.openSound = [](QWidget *parent) {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), tr("Wave (*.wav);;Ogg (*.ogg)"));
    };
    prompts.speechLanguage = [](QWidget *parent, const QStringList &languages, const QString &proposed) {
        bool ok = false;
        const QString chosen = QInputDialog::getItem(
            parent, tr("Speak all phrases"),
            tr("Every phrase of the voice is replaced by synthetic speech.\nLanguage of the speech:"), languages,
            std::max(0, int(languages.indexOf(proposed))), true, &ok);
        return ok ? chosen.trimmed() : QString();
    };
    prompts.message = [](QWidget *parent, const QString &text) {
        QMessageBox::warning(parent, tr("Voices"), text);
    };
    Cap(false);
}

TVoice::~TVoice()
{
    m_tick->stop();
}

TVoice *TVoice::openEditor()
{
    return s_open.data();
}

void TVoice::buildTable()
{
    m_grid->SetColCount(4);
    m_grid->SetAutoSize(true);
    m_grid->SetHeader(TRBParams{tr("LP"), tr("File"), tr("Description"), tr("OGG Info")});
    m_grid->SetNumbers(true);
    m_grid->SetHasHeader(true);
    m_grid->SetCellEditing(false);
    m_grid->OnSelectCell = [this](TRBGrid *, int, int row, bool &canSelect) {
        if (row != m_grid->Row())
            RBGrid1SelectCell(row, canSelect);
    };
    resetRows(VoiceTables::PhraseCount);
}

// The fixed phrase rows, unmarked; rows beyond the table have no file or description.
void TVoice::resetRows(int rows)
{
    TRBParamsTable &t = m_grid->Table();
    t.SetRowCount(rows + 1);
    for (int k = 1; k <= rows; ++k) {
        TRBParams row;
        if (k <= VoiceTables::PhraseCount)
            row = TRBParams{QString::number(k), QString::fromLatin1(VoiceTables::phrase(k).file),
                            VoiceTables::phraseDescription(k), QString()};
        else
            row = TRBParams{QString::number(k), QString(), QString(), QString()};
        t.Row(k) = row;
        for (int col = 0; col < m_grid->ColCount(); ++col)
            t.SetFlags(col, k, 0);
    }
    m_grid->TableChanged();
}

bool TVoice::isRecording() const { return m_audio->isRecording(); }
bool TVoice::isPlaying() const { return m_audio->isPlaying(); }
bool TVoice::isWaveEmpty() const { return m_audio->isEmpty(); }
bool TVoice::hasWaveSelection() const { return m_audio->box()->HasSelection(); }
int TVoice::gridRowCount() const { return m_grid->RowCount(); }
TRBSoundBox *TVoice::soundBox() const { return m_audio->box(); }

void TVoice::hideOwnMenuBar()
{
    m_bar->hide();
}

QString TVoice::phraseFile(int k) const
{
    return VoiceChk::PhraseFile(m_phraseFolder, k);
}

VoiceFile::VifData TVoice::vifData() const
{
    VoiceFile::VifData vif;
    vif.name = m_name->text();
    vif.container = m_container;
    vif.gender = m_gender->currentIndex();
    vif.language = m_language->currentIndex();
    vif.flag = m_flag->currentIndex();
    return vif;
}

void TVoice::Cap(bool modified)
{
    Modified = modified;
    setWindowTitle(VoicePath + (modified ? QStringLiteral("*") : QString()));
}

void TVoice::Edit1Change()
{
    if (!Opening)
        Cap(true);
}

void TVoice::showPicture()
{
    m_pictureView->setPixmap(QPixmap::fromImage(m_picture));
}

void TVoice::setOggInfo(int k)
{
    m_grid->SetCell(3, k, TOggRunner::OggInfo(phraseFile(k)));
}

// ---- opening ----------------------------------------------------------------------------

void TVoice::OpenVoice(const QString &path)
{
    Opening = true;
    const StatusReset reset(m_shell, &Opening);
    m_shell.SetStatus(tr("Open Voice file"));
    m_shell.ShowProgress(tr("Reading CHK"), 1, 62, 0);
    m_audio->Stop();
    VoicePath = path;
    Cap(false);
    SampleEdited = false;
    readContainer(VoiceFile::companion(path, ".chk"));
    m_shell.SetProgress(60);
    readInfoAndPicture();
    CurrentSample = m_grid->Row();
    LoadCountdown = 1;
    Loading = true;
    Cap(false);
}

void TVoice::readContainer(const QString &chkPath)
{
    ChkHeader.clear();
    resetRows(VoiceTables::PhraseCount);
    const VoiceChk::UnpackResult r =
        VoiceChk::Unpack(chkPath, m_phraseFolder, true, [this](int, VoiceChk::PhraseState) { m_shell.StepProgress(); });
    ChkHeader = r.header;
    // A voice with fewer phrases keeps all 59 rows: the missing ones are to be
    // recorded before the voice can be saved.
    const int rows = std::max(r.count, VoiceTables::PhraseCount);
    if (rows != VoiceTables::PhraseCount)
        resetRows(rows);
    for (int k = 1; k <= rows; ++k) {
        if (r.states[size_t(k - 1)] == VoiceChk::PhraseState::Held) {
            m_grid->MarkRow(k, ReadBit);
            setOggInfo(k);
        } else {
            m_grid->MarkRow(k, DamagedFrame);
        }
    }
}

void TVoice::readInfoAndPicture()
{
    m_shell.SetStatus(tr("Reading VIF"));
    VoiceFile::VifData vif;
    try {
        VoiceFile::OpenVIF(VoiceFile::companion(VoicePath, ".vif"), vif, DeviceCodec::fromSettings(m_shell.settings()));
    } catch (const KorvixError &e) {
        prompts.message(this, e.message());
    }
    m_name->setText(vif.name);
    m_container = vif.container;
    m_gender->setCurrentIndex(vif.gender);
    m_language->setCurrentIndex(vif.language);
    m_flag->setCurrentIndex(vif.flag);
    m_shell.StepProgress();
    m_shell.SetStatus(tr("Reading BMP"));
    try {
        m_picture = VoiceFile::loadVifBitmap(VoiceFile::companion(VoicePath, ".bmp"));
    } catch (const KorvixError &e) {
        m_picture = VoiceFile::blankPicture();
        prompts.message(this, e.message());
    }
    showPicture();
}

void TVoice::ImageClick()
{
    const QString file = prompts.openPicture(this, QFileInfo(VoicePath).absolutePath());
    if (file.isEmpty())
        return;
    m_picture = VoiceFile::loadVifBitmap(file);
    showPicture();
    // A chosen picture is part of the voice: closing asks before it is lost.
    Cap(true);
}

bool TVoice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pictureView && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        ErrorGuard::run(m_shell.window(), [this] { ImageClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- saving and closing -----------------------------------------------------------------

void TVoice::Save()
{
    SaveVoice(VoicePath);
}

void TVoice::SaveAs()
{
    const QFileInfo info(VoicePath);
    QString file = prompts.saveFile(this, info.absolutePath(), info.completeBaseName());
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".vif");
    SaveVoice(file);
}

void TVoice::SaveVoice(const QString &path)
{
    const StatusReset reset(m_shell);
    m_shell.SetStatus(tr("Save Voice file"));
    m_shell.ShowProgress(tr("Building header"), 0, 120, 0);
    m_shell.SetStatus(tr("Saving..."));
    VoiceFile::SaveVoice(path, m_phraseFolder, vifData(), m_picture, DeviceCodec::fromSettings(m_shell.settings()));
    VoicePath = path; // after Save As the window goes on with the new name
    Cap(false);
    m_shell.UpdateTreeView(path, 6);
}

void TVoice::closeEvent(QCloseEvent *event)
{
    const QMessageBox::StandardButton answer = Modified ? prompts.askSave(this) : QMessageBox::No;
    if (answer != QMessageBox::Yes && answer != QMessageBox::No) {
        event->ignore();
        return;
    }
    // A save that failed keeps the window and the changes.
    if (answer == QMessageBox::Yes && !ErrorGuard::run(m_shell.window(), [this] { Save(); })) {
        event->ignore();
        return;
    }
    m_audio->Stop();
    m_tick->stop();
    event->accept();
}
