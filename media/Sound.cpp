// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Sound.h"

#include "media/AudioKit.h"
#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "platform/Shell.h"
#include "platform/Question.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QVBoxLayout>

namespace {
bool hasFileName(const QString &path) { return !path.isEmpty() && !QFileInfo(path).fileName().isEmpty(); }
} // namespace

TSound::TSound(IShell &shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QMenuBar(this);
    m_tools = bar->addMenu(tr("Tools"));
    m_tools->addAction(tr("Silence"), this, &TSound::Silence1Click);
    layout->setMenuBar(bar);
    m_bar = bar;
    m_audio = new TAudioKit(this, this);
    m_audio->box()->setMinimumSize(200, 80);
    layout->addWidget(m_audio->box(), 1);
    resize(480, 180);

    prompts.askSave = [](QWidget *parent) {
        return askToSaveChanges(parent, tr("Sounds"), tr("Do you want to save changes?"));
    };
    prompts.saveFile = [](QWidget *parent, const QString &dir) {
        QFileDialog dlg(parent, QString(), dir);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setNameFilters({tr("OGG (*.ogg)"), tr("Wave (*.wav)")});
        dlg.setDefaultSuffix(QStringLiteral("ogg"));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        return dlg.selectedFiles().constFirst();
    };
    prompts.openSound = [](QWidget *parent) {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), tr("Wave (*.wav);;Ogg (*.ogg)"));
    };
    prompts.message = [](QWidget *parent, const QString &text) { QMessageBox::warning(parent, tr("Sounds"), text); };
    Cap(false);
}

// The audio devices wait for their server while they end, running events: they go
// first, while the window they report to is still whole.
TSound::~TSound()
{
    m_audio->Stop();
    delete m_audio;
}

bool TSound::isRecording() const { return m_audio->isRecording(); }
bool TSound::isPlaying() const { return m_audio->isPlaying(); }
bool TSound::isWaveEmpty() const { return m_audio->isEmpty(); }
bool TSound::hasWaveSelection() const { return m_audio->box()->HasSelection(); }
TRBSoundBox *TSound::soundBox() const { return m_audio->box(); }

void TSound::hideOwnMenuBar()
{
    m_bar->hide();
}

void TSound::OpenSound(const QString &path)
{
    SoundPath = path;
    if (hasFileName(path) && !m_audio->LoadSound(path))
        prompts.message(m_shell.window(), tr("Can't read the sound file %1").arg(path));
    Cap(false);
}

bool TSound::saveNow()
{
    if (!hasFileName(SoundPath))
        return saveAsNow();
    return SaveSound(SoundPath);
}

bool TSound::saveAsNow()
{
    QString dir = SoundPath;
    if (dir.isEmpty())
        dir = Folders::UserDataFolder();
    else if (hasFileName(dir))
        dir = QFileInfo(dir).absolutePath();
    const QString target = prompts.saveFile(m_shell.window(), dir);
    return !target.isEmpty() && SaveSound(target);
}

bool TSound::SaveSound(const QString &target)
{
    m_audio->Stop();
    // A failed encoder leaves nothing to copy: the target keeps what it had.
    if (!m_audio->SaveSound(target)) {
        prompts.message(m_shell.window(), tr("Problem with saving files!"));
        return false;
    }
    SoundPath = target; // after Save As the window goes on with the new name
    Cap(false);
    m_shell.UpdateTreeView(target, 7);
    return true;
}

void TSound::PlaySound()
{
    m_audio->Play();
}

void TSound::RecSound()
{
    Cap(true);
    m_audio->Record();
}

void TSound::StopSound()
{
    m_audio->Stop();
}

void TSound::DeleteSound()
{
    m_audio->box()->DeleteSelection();
    Cap(true);
}

void TSound::CropSound()
{
    m_audio->box()->CropToSelection();
    Cap(true);
}

void TSound::NormalizeSound()
{
    m_audio->box()->NormalizeWave();
    Cap(true);
}

void TSound::Silence1Click()
{
    m_audio->box()->SilenceSelection();
    Cap(true);
}

void TSound::ImportSound()
{
    const QString file = prompts.openSound(m_shell.window());
    if (file.isEmpty())
        return;
    if (m_audio->LoadSound(file))
        Cap(true);
    else
        prompts.message(m_shell.window(), tr("Can't read the sound file %1").arg(file));
}

void TSound::Cap(bool modified)
{
    Modified = modified;
    setWindowTitle(SoundPath + (modified ? QStringLiteral("*") : QString()));
}

void TSound::closeEvent(QCloseEvent *event)
{
    const QMessageBox::StandardButton answer = Modified ? prompts.askSave(this) : QMessageBox::No;
    bool closes = answer == QMessageBox::No;
    // A save that fails or is cancelled keeps the window and the sound.
    if (answer == QMessageBox::Yes)
        ErrorGuard::run(m_shell.window(), [&] { closes = saveNow(); });
    if (!closes) {
        event->ignore();
        return;
    }
    m_audio->Stop();
    event->accept();
}
