#include "media/OggRunner.h"

#include "media/Wave.h"
#include "platform/AtomicFile.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

QString OggWorkFolder()
{
    return Folders::CommonDataFolder() + QStringLiteral("ogg/");
}

bool CopyFileAtomically(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    return AtomicFile::write(target, bytes).isEmpty();
}

TOggRunner::TOggRunner(const QString &folder)
{
    setFolder(folder);
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

bool TOggRunner::OggDecode(const QString &source) const
{
    QFile::remove(workWave());
    QFile::remove(workOgg());
    if (!ensureFolder())
        return false;
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
    QFile::remove(workOgg());
    if (!ensureFolder())
        return false;
    wave.SaveToFile(workWave());
    return OggEncode();
}

bool TOggRunner::CopyWorkOggTo(const QString &target) const
{
    return QFileInfo::exists(workOgg()) && CopyFileAtomically(workOgg(), target);
}

QString TOggRunner::OggInfo(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
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
