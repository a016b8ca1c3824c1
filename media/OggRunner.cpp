// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/OggRunner.h"

#include "media/Wave.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/FileReader.h"
#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

QString OggWorkFolder()
{
    return Folders::CommonDataFolder() + QStringLiteral("ogg/");
}

bool CopyFileAtomically(const QString &source, const QString &target)
{
    const std::optional<QByteArray> bytes = FileReader::read(source, FileReader::MaxSoundBytes);
    if (!bytes)
        return false;
    // A failed write is no missing sound: its reason goes to the caller.
    if (const QString why = AtomicFile::write(target, *bytes); !why.isEmpty())
        throw KorvixError(QCoreApplication::translate("Sound", "Can't write the sound file %1: %2").arg(target, why));
    return true;
}

TOggRunner::TOggRunner(const QString &folder)
{
    setFolder(folder);
}

// A copy is a runner of the same folder; a lock stays with the runner that took it.
TOggRunner::TOggRunner(const TOggRunner &other) : m_folder(other.m_folder), m_timeLimitMs(other.m_timeLimitMs) {}

TOggRunner &TOggRunner::operator=(const TOggRunner &other)
{
    m_folder = other.m_folder;
    m_timeLimitMs = other.m_timeLimitMs;
    return *this;
}

TOggRunner::~TOggRunner() = default;

TOggRunner::Hold::Hold(const TOggRunner &runner) : m_runner(runner), m_held(runner.acquire()) {}

TOggRunner::Hold::~Hold()
{
    if (m_held)
        m_runner.release();
}

bool TOggRunner::acquire() const
{
    if (m_holds > 0) {
        ++m_holds;
        return true;
    }
    if (!ensureFolder())
        return false;
    auto lock = std::make_unique<QLockFile>(lockFile());
    // Only a dead owner makes a lock stale: a long conversion keeps its lock.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(2 * m_timeLimitMs)) {
        qint64 pid = 0;
        QString host, app;
        if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &app))
            throw KorvixError(tr("The Ogg work folder %1 is in use by another conversion (%2, process %3); "
                                 "try again when it has finished")
                                  .arg(QDir::toNativeSeparators(m_folder), app)
                                  .arg(pid));
        throw KorvixError(tr("Can't lock the Ogg work folder %1").arg(QDir::toNativeSeparators(m_folder)));
    }
    m_lock = std::move(lock);
    m_holds = 1;
    return true;
}

void TOggRunner::release() const
{
    if (--m_holds == 0)
        m_lock.reset();
}

void TOggRunner::setFolder(const QString &folder)
{
    m_folder = folder.endsWith(QLatin1Char('/')) || folder.isEmpty() ? folder : folder + QLatin1Char('/');
}

QString TOggRunner::workOgg() const
{
    return m_folder + QStringLiteral("tmp.ogg");
}

QString TOggRunner::workWave() const
{
    return m_folder + QStringLiteral("tmp.wav");
}

QString TOggRunner::lockFile() const
{
    return m_folder + QStringLiteral("tmp.lock");
}

bool TOggRunner::ensureFolder() const
{
    return QDir().mkpath(m_folder);
}

QString TOggRunner::findProgram(const QString &program, const QString &folder)
{
    const QFileInfo given(program);
    if (given.isAbsolute())
        return given.isFile() && given.isExecutable() ? given.absoluteFilePath() : QString();
    const QFileInfo local(QDir(folder).filePath(program));
    if (local.isFile() && local.isExecutable())
        return local.absoluteFilePath();
    return QStandardPaths::findExecutable(program);
}

bool TOggRunner::RunHidden(const QString &program, const QStringList &arguments, const QString &folder) const
{
    const QString exe = findProgram(program, folder);
    if (exe.isEmpty())
        return false;
    QProcess p;
    p.setProgram(exe);
    p.setArguments(arguments);
    p.setWorkingDirectory(folder);
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted(m_timeLimitMs))
        return false;
    if (!p.waitForFinished(m_timeLimitMs)) {
        p.kill();
        p.waitForFinished(5000);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool TOggRunner::DecodeOggFile(const QString &source, TWave &wave) const
{
    const Hold hold(*this);
    return hold && OggDecode(source) && wave.LoadFromFile(workWave());
}

bool TOggRunner::EncodeOggFile(const TWave &wave, const QString &target) const
{
    const Hold hold(*this);
    return hold && OggEncode(wave) && CopyWorkOggTo(target);
}

bool TOggRunner::OggDecode(const QString &source) const
{
    const Hold hold(*this);
    if (!hold)
        return false;
    QFile::remove(workWave());
    QFile::remove(workOgg());
    if (!CopyFileAtomically(source, workOgg()))
        return false;
    const bool ran = RunHidden(QString::fromLatin1(Decoder), {QStringLiteral("tmp.ogg")}, m_folder);
    // A failed or ended run may leave half a wave behind; nobody may read it.
    if (!ran)
        QFile::remove(workWave());
    return ran && QFileInfo::exists(workWave());
}

bool TOggRunner::OggEncode() const
{
    const Hold hold(*this);
    if (!hold)
        return false;
    QFile::remove(workOgg());
    if (!QFileInfo::exists(workWave()))
        return false;
    const bool ran = RunHidden(QString::fromLatin1(Encoder), {QStringLiteral("tmp.wav")}, m_folder);
    if (!ran)
        QFile::remove(workOgg());
    return ran && QFileInfo::exists(workOgg());
}

bool TOggRunner::OggEncode(const TWave &wave) const
{
    const Hold hold(*this);
    if (!hold)
        return false;
    QFile::remove(workOgg());
    wave.SaveToFile(workWave());
    return OggEncode();
}

bool TOggRunner::CopyWorkOggTo(const QString &target) const
{
    const Hold hold(*this);
    return hold && QFileInfo::exists(workOgg()) && CopyFileAtomically(workOgg(), target);
}

QString TOggRunner::OggInfo(const QString &path)
{
    QFile f;
    if (!FileReader::open(f, path, FileReader::MaxSoundBytes).isEmpty())
        return {};
    const QByteArray header = f.read(27);
    if (header.size() != 27 || !header.startsWith("OggS"))
        return {};
    const int segments = quint8(header[26]);
    if (segments == 0)
        return {};
    if (f.read(segments - 1).size() != segments - 1)
        return {};
    const QByteArray packet = f.read(31);
    if (packet.size() != 31 || quint8(packet[0]) != 30 || quint8(packet[1]) != 1)
        return {};
    const QString codec = QString::fromLatin1(packet.constData() + 2, 6);
    const int channels = quint8(packet[12]);
    const quint32 rate = qFromLittleEndian<quint32>(packet.constData() + 13);
    const QString layout = channels == 1 ? QStringLiteral(" Mono")
                                         : QStringLiteral(" %1 channels").arg(channels);
    return codec + layout + QStringLiteral(" %1Hz").arg(rate);
}
