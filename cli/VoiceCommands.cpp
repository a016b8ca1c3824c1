// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli chk unpack|pack and vif dump: voice containers and information files.
#include "app/Language.h"
#include "cli/Commands.h"
#include "media/OggRunner.h"
#include "media/VoiceChk.h"
#include "media/VoiceFile.h"
#include "media/VoiceSpeech.h"
#include "media/VoiceTables.h"
#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "poi/PoiDump.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTranslator>

namespace {

QString asFolder(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

int chkUnpack(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli chk unpack FILE.chk DIR\n";
        return 2;
    }
    const QString &chkPath = args[0];
    try {
        // A failed header writes nothing at all, so the check comes before the folder.
        QFile chk;
        if (const QString why = FileReader::open(chk, chkPath, FileReader::MaxListBytes); !why.isEmpty()) {
            const QString named = chkPath + QStringLiteral(": ");
            return fileError(err, chkPath, why.startsWith(named) ? why.mid(named.size()) : why);
        }
        if (VoiceChk::GetCHKHeader(chk).empty()) {
            err << chkPath << ": not a voice container: its header does not describe the file\n";
            return 1;
        }
        chk.close();
        VoiceChk::Unpack(chkPath, asFolder(args[1]), true, [&](int k, VoiceChk::PhraseState state) {
                if (state != VoiceChk::PhraseState::Missing)
                    out << k << '\t' << (state == VoiceChk::PhraseState::Held ? "ok" : "damaged") << '\n';
            });
        return 0;
    } catch (const KorvixError &e) {
        err << e.message() << '\n';
        return 1;
    }
}

int chkPack(const QStringList &args, QTextStream &, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli chk pack DIR OUT.chk\n";
        return 2;
    }
    try {
        const QByteArray chk = VoiceChk::PackFolder(asFolder(args[0]));
        const QString error = AtomicFile::write(args[1], chk);
        if (!error.isEmpty()) {
            err << args[1] << ": " << error << '\n';
            return 1;
        }
        return 0;
    } catch (const KorvixError &e) {
        err << args[0] << ": " << e.message() << '\n';
        return 1;
    }
}

int chk(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"unpack", chkUnpack}, {"pack", chkPack}},
                         "chk unpack FILE.chk DIR | pack DIR OUT.chk");
}

int vifDump(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli vif dump FILE\n";
        return 2;
    }
    const DeviceCodec codec = DeviceCodec::fromSettings();
    VoiceFile::VifData vif;
    try {
        if (!VoiceFile::OpenVIF(args[0], vif, codec)) {
            err << args[0] << ": No such file or directory\n";
            return 1;
        }
    } catch (const KorvixError &e) {
        err << e.message() << '\n';
        return 1;
    }
    auto text = [&](const char *key, const QString &value) {
        QByteArray line(key);
        line.append('\t');
        appendDumpEscaped(line, codec.fromUnicode(value), codec);
        out << QString::fromUtf8(line) << '\n';
    };
    text("name", vif.name);
    text("container", vif.container);
    out << "gender\t" << vif.gender << '\n';
    out << "language\t" << vif.language << '\n';
    out << "flag\t" << (vif.flag < 0 ? -1 : vif.flag + VoiceTables::FlagBase) << '\n';
    return 0;
}

int vif(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"dump", vifDump}}, "vif dump FILE");
}

// The program's translation whose texts a synthesiser of `speechLanguage` speaks, if
// there is one ("pl" takes the Polish texts); the English ones otherwise.
void useTextsFor(const QString &speechLanguage, QTranslator &translator)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/korvix");
    const QString primary = speechLanguage.section(QLatin1Char('-'), 0, 0).toLower();
    for (const QString &entry : Language::languageList()) {
        const QString file = Language::companionFile(program, entry.section(QLatin1Char('='), 0, 0));
        if (file.isEmpty() || !translator.load(file))
            continue;
        QCoreApplication::installTranslator(&translator);
        if (VoiceSpeech::programLanguage() == primary)
            return;
        QCoreApplication::removeTranslator(&translator);
    }
}

int voiceSpeak(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli voice speak LANG OUT.vif\n";
        return 2;
    }
    const QString &language = args[0], &target = args[1];
    if (!hasSuffix(target, {"vif"})) {
        err << target << ": the voice must be named *.vif (its .chk and .bmp go beside it)\n";
        return 2;
    }
    QTranslator translator;
    useTextsFor(language, translator);
    try {
        QTemporaryDir work;
        const QString phrases = work.filePath(QStringLiteral("phrases/"));
        const TOggRunner runner;
        VoiceSpeech::SpeakAll(language, phrases, runner);
        VoiceFile::VifData vif;
        vif.name = QStringLiteral("%1 %2").arg(QLatin1String(VoiceSpeech::Speaker), language);
        vif.language = VoiceSpeech::languageIndex(language);
        VoiceFile::SaveVoice(target, phrases, vif, VoiceFile::blankPicture(), DeviceCodec::fromSettings());
    } catch (const KorvixError &e) {
        err << target << ": " << e.message() << '\n';
        return 1;
    }
    out << target << ": " << VoiceTables::PhraseCount << " phrases spoken in " << language << '\n';
    return 0;
}

int voice(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"speak", voiceSpeak}}, "voice speak LANG OUT.vif");
}

const CliRegistrar chkRegistrar({QStringLiteral("chk"),
                                 QStringLiteral("unpack FILE.chk DIR | pack DIR OUT.chk  (voice containers: "
                                                "tmp01.ogg .. tmp59.ogg)"),
                                 chk});
const CliRegistrar vifRegistrar({QStringLiteral("vif"),
                                 QStringLiteral("dump FILE  (voice information: name, container, gender, "
                                                "language, flag)"),
                                 vif});
const CliRegistrar voiceRegistrar({QStringLiteral("voice"),
                                   QStringLiteral("speak LANG OUT.vif  (a complete voice from espeak-ng in its "
                                                  "language LANG: pl, en-us, ...)"),
                                   voice});

} // namespace
