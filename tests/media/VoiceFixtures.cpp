// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/media/VoiceFixtures.h"

#include "media/OggRunner.h"
#include "media/VoiceChk.h"
#include "media/VoiceTables.h"
#include "tests/media/AudioFixtures.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QtEndian>

#include <cmath>

bool VoiceFixtures::oggToolsInstalled()
{
    return !TOggRunner::findProgram("oggenc", {}).isEmpty() && !TOggRunner::findProgram("oggdec", {}).isEmpty();
}

const std::vector<QByteArray> &VoiceFixtures::realPhrases()
{
    static const std::vector<QByteArray> phrases = [] {
        std::vector<QByteArray> out;
        TempFolder work;
        TOggRunner runner(work.file("ogg"));
        for (int k = 1; k <= VoiceTables::PhraseCount; ++k) {
            QVector<qint16> s(2205 + 300 * k);
            for (int i = 0; i < s.size(); ++i)
                s[i] = qint16(8000 * std::sin(2 * M_PI * (200 + 20 * k) * i / 22050.0));
            const QString target = work.file(QStringLiteral("p%1.ogg").arg(k));
            if (!runner.EncodeOggFile(AudioFixtures::samples(s), target))
                return std::vector<QByteArray>();
            out.push_back(readAll(target));
        }
        return out;
    }();
    return phrases;
}

void VoiceFixtures::writePhraseFiles(const QString &folder)
{
    const std::vector<QByteArray> &phrases = realPhrases();
    for (int k = 1; k <= int(phrases.size()); ++k) {
        QFile f(VoiceChk::PhraseFile(folder, k));
        if (f.open(QIODevice::WriteOnly))
            f.write(phrases[size_t(k - 1)]);
    }
}

QByteArray VoiceFixtures::word(quint32 value)
{
    char b[4];
    qToBigEndian(value, b);
    return QByteArray(b, 4);
}
