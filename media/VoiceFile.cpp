// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VoiceFile.h"

#include "core/RBParams.h"
#include "media/ImgFile.h"
#include "media/VoiceChk.h"
#include "media/VoiceTables.h"
#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/DeviceCodec.h"
#include "platform/DeviceFiles.h"
#include "platform/Error.h"

#include <QFileInfo>
#include <QPainter>

namespace VoiceFile {

// The context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(VoiceFile)
};

namespace {


// A line as a number, -1 when it is none; an index outside [0, count) selects nothing.
int listIndex(const QString &line, int offset, int count)
{
    bool ok = false;
    const int value = line.toInt(&ok);
    if (!ok)
        return -1;
    const qint64 index = qint64(value) - offset;
    return index >= 0 && index < count ? int(index) : -1;
}

// The split lines lose their blanks before their CR and LF: a line break inside a
// line can leave a blank at its end, which the next read would trim.
QString withoutEndBlanks(const QString &line)
{
    qsizetype from = 0, to = line.size();
    while (from < to && line[from] == QLatin1Char(' '))
        ++from;
    while (to > from && line[to - 1] == QLatin1Char(' '))
        --to;
    return line.mid(from, to - from);
}

void writeOrThrow(const QString &path, const QByteArray &data)
{
    const QString error = AtomicFile::write(path, data);
    if (!error.isEmpty())
        throw KorvixError(path + QStringLiteral(": ") + error);
}

} // namespace

VifData ParseVIF(const QByteArray &bytes, const DeviceCodec &codec)
{
    const QString text = codec.toUnicode(bytes);
    const TRBCharSet blank{' '};
    TRBParams lines;
    lines.SplitText(text, u"\r\n", blank);
    if (lines.Count() == 1)
        lines.SplitText(text, u"\n", blank);
    VifData vif;
    const QString line1 = withoutEndBlanks(lines.GetField(0)), line3 = withoutEndBlanks(lines.GetField(2));
    vif.name = line3.isEmpty() ? line1 : line3;
    vif.container = withoutEndBlanks(lines.GetField(1));
    vif.gender = listIndex(lines.GetField(3), 0, int(VoiceTables::genders().size()));
    vif.language = listIndex(lines.GetField(4), 0, VoiceTables::LanguageCount);
    vif.flag = listIndex(lines.GetField(5), VoiceTables::FlagBase, VoiceTables::FlagCount);
    return vif;
}

bool OpenVIF(const QString &path, VifData &vif, const DeviceCodec &codec)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    // The reader's own messages: a FIFO, a device and an outsized file are refused unread.
    QString why;
    const std::optional<QByteArray> bytes = FileReader::read(path, MaxVifBytes, &why);
    if (!bytes)
        throw KorvixError(why);
    vif = ParseVIF(*bytes, codec);
    return true;
}

QByteArray VifBytes(const VifData &vif, const QString &vifPath, const DeviceCodec &codec)
{
    const QString container = QFileInfo(withExtension(vifPath, ".chk")).fileName();
    const int flagCode = vif.flag < 0 ? VoiceTables::NoFlagCode : vif.flag + VoiceTables::FlagBase;
    QByteArray out;
    for (const QString &line : {vif.name, container, vif.name, QString::number(vif.gender),
                                QString::number(vif.language), QString::number(flagCode)}) {
        codec.appendBytes(out, line);
        out.append("\r\n");
    }
    return out;
}

QImage blankPicture()
{
    QImage image(PictureSide, PictureSide, QImage::Format_RGB888);
    image.fill(Qt::white);
    return image;
}

QImage loadVifBitmap(const QString &path)
{
    if (!QFileInfo::exists(path))
        return blankPicture();
    const QImage loaded = ImgFile::load(path).image.convertToFormat(QImage::Format_RGB888);
    if (loaded.width() == PictureSide && loaded.height() == PictureSide)
        return loaded;
    QImage picture = blankPicture();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(picture.rect(), loaded);
    return picture;
}

QString withExtension(const QString &path, const char *extension)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString folder = path.left(path.size() - name.size());
    return folder + base + QLatin1String(extension);
}

QString companion(const QString &path, const char *extension)
{
    const QString wanted = withExtension(path, extension);
    const QFileInfo info(wanted);
    const QString found = DeviceFiles::find(info.path(), info.fileName());
    return found.isEmpty() ? wanted : found;
}

void SaveVoice(const QString &path, const QString &phraseFolder, const VifData &vif, const QImage &picture,
               const DeviceCodec &codec)
{
    const QString chkPath = companion(path, ".chk"), vifPath = companion(path, ".vif"),
                  bmpPath = companion(path, ".bmp");
    const QByteArray chk = VoiceChk::PackFolder(phraseFolder);
    const QByteArray info = VifBytes(vif, vifPath, codec);
    const QByteArray bmp = picture.isNull() ? QByteArray() : ImgFile::encodeBmp(picture, 24);
    writeOrThrow(chkPath, chk);
    writeOrThrow(vifPath, info);
    if (!bmp.isEmpty())
        writeOrThrow(bmpPath, bmp);
}

} // namespace VoiceFile
