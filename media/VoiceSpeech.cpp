// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VoiceSpeech.h"

#include "media/OggRunner.h"
#include "media/VoiceChk.h"
#include "media/VoiceTables.h"
#include "media/Wave.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <utility>

namespace VoiceSpeech {

// The context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(VoiceSpeech)
};

bool available(const TOggRunner &runner)
{
    return !TOggRunner::findProgram(QLatin1String(Speaker), runner.folder()).isEmpty();
}

QStringList languages(const TOggRunner &runner)
{
    const QString exe = TOggRunner::findProgram(QLatin1String(Speaker), runner.folder());
    if (exe.isEmpty())
        return {};
    QProcess p;
    p.start(exe, {QStringLiteral("--voices")});
    if (!p.waitForFinished(runner.timeLimit()))
        return {};
    QStringList codes;
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {   // the first line names the columns
        const QList<QByteArray> columns = lines[i].simplified().split(' ');
        if (columns.size() > 1)
            codes << QString::fromUtf8(columns[1]);
    }
    codes.removeDuplicates();
    codes.sort();
    return codes;
}

QString programLanguage()
{
    //: The espeak-ng language that speaks this translation's texts ("pl" for Polish).
    return Texts::tr("en");
}

int languageIndex(const QString &speechLanguage)
{
    static const std::pair<const char *, int> Codes[] = {
        {"en-us", 2}, {"en", 0}, {"de", 1}, {"fr", 3}, {"es", 4}, {"it", 5}, {"nl", 6}, {"da", 8}, {"sv", 9},
        {"fi", 10}, {"pt-br", 102}, {"pt", 11}, {"nb", 12}, {"pl", 13}, {"cs", 14}, {"tr", 15}, {"hu", 16},
        {"et", 17}, {"lv", 18}, {"lt", 19}, {"ca", 20}, {"sk", 21}, {"af", 22}, {"cmn", 23}, {"ro", 105},
        {"sr", 106}, {"hr", 107}, {"el", 108}, {"ru", 109}, {"bg", 110}, {"ja", 113}, {"th", 114}, {"ms", 115},
    };
    const QString code = speechLanguage.toLower();
    for (const auto &[prefix, index] : Codes) {
        const QLatin1String p(prefix);
        if (code == p || code.startsWith(p + QLatin1Char('-')))
            return index;
    }
    return -1;
}

void SpeakAll(const QString &speechLanguage, const QString &folder, const TOggRunner &runner,
              const std::function<void(int k)> &each)
{
    if (!available(runner))
        throw KorvixError(Texts::tr("The speech synthesiser %1 is not installed.").arg(QLatin1String(Speaker)));
    QTemporaryDir work;
    if (!work.isValid() || !QDir().mkpath(folder))
        throw KorvixError(Texts::tr("Can't create the folder %1").arg(QDir::toNativeSeparators(folder)));
    const QString textFile = work.filePath(QStringLiteral("phrase.txt"));
    const QString waveFile = work.filePath(QStringLiteral("phrase.wav"));
    for (int k = 1; k <= VoiceTables::PhraseCount; ++k) {
        QFile text(textFile);
        if (!text.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || text.write(VoiceTables::phraseSpeech(k).toUtf8()) < 0)
            throw KorvixError(Texts::tr("Can't write %1: %2").arg(textFile, text.errorString()));
        text.close();
        QFile::remove(waveFile);
        TWave wave;
        QString why;
        if (!runner.RunHidden(QLatin1String(Speaker),
                              {QStringLiteral("-v"), speechLanguage, QStringLiteral("-f"), textFile,
                               QStringLiteral("-w"), waveFile},
                              work.path())
            || !wave.LoadFromFile(waveFile, &why))
            throw KorvixError(Texts::tr("%1 could not speak in the language \"%2\".").arg(QLatin1String(Speaker),
                                                                                         speechLanguage));
        if (!wave.ConvertToPCM(Mono16bit22050Hz(), &why))
            throw KorvixError(VoiceChk::phraseProblem(k, why));
        if (!runner.EncodeOggFile(wave, VoiceChk::PhraseFile(folder, k)))
            throw KorvixError(
                VoiceChk::phraseProblem(k, Texts::tr("the sound could not be encoded (is oggenc installed?)")));
        if (each)
            each(k);
    }
}

} // namespace VoiceSpeech
