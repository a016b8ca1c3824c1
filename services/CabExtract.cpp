#include "services/CabFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <mspack.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

// The library reads and writes through these callbacks, so the names stay ours (UTF-8,
// any characters) and every written block reaches the progress event.
struct CabExtractor {
    mspack_system sys; // first: the library hands it back as `self`
    TCABFile *cab;
    // The file being unpacked.
    QString storedName, target;
    qint64 size = 0, written = 0;
    QDateTime stamp;
    QElapsedTimer clock;
};

namespace {
struct MsFile {
    QFile file;
    CabExtractor *owner = nullptr; // set for the unpacked file only
};

mspack_file *msOpen(mspack_system *self, const char *name, int mode)
{
    auto *ex = reinterpret_cast<CabExtractor *>(self);
    auto *f = new MsFile;
    f->file.setFileName(QString::fromUtf8(name));
    QIODevice::OpenMode m = QIODevice::ReadOnly;
    if (mode == MSPACK_SYS_OPEN_WRITE) {
        m = QIODevice::WriteOnly | QIODevice::Truncate;
        f->owner = ex;
    } else if (mode == MSPACK_SYS_OPEN_UPDATE) {
        m = QIODevice::ReadWrite;
    } else if (mode == MSPACK_SYS_OPEN_APPEND) {
        m = QIODevice::WriteOnly | QIODevice::Append;
    }
    if (!f->file.open(m)) {
        delete f;
        return nullptr;
    }
    return reinterpret_cast<mspack_file *>(f);
}

// A mangled archive can make the library use a file it failed to open: every call
// takes a null file as a failure.
void msClose(mspack_file *file)
{
    auto *f = reinterpret_cast<MsFile *>(file);
    if (f && f->owner) {
        // The time goes on after the last write is out, or the flush would change it.
        f->file.flush();
        f->file.setFileTime(f->owner->stamp, QFileDevice::FileModificationTime);
    }
    delete f;
}

int msRead(mspack_file *file, void *buffer, int bytes)
{
    if (!file)
        return -1;
    return int(reinterpret_cast<MsFile *>(file)->file.read(static_cast<char *>(buffer), bytes));
}

int msWrite(mspack_file *file, void *buffer, int bytes)
{
    auto *f = reinterpret_cast<MsFile *>(file);
    if (!f)
        return -1;
    const qint64 n = f->file.write(static_cast<const char *>(buffer), bytes);
    if (n != bytes)
        return -1;
    if (CabExtractor *ex = f->owner) {
        ex->written += n;
        // At most every ~30 ms, and once the file is whole.
        if (ex->cab->OnDecompressProgress && (ex->written == ex->size || ex->clock.elapsed() >= 30)) {
            ex->clock.restart();
            ex->cab->OnDecompressProgress(ex->cab, ex->storedName, ex->written, ex->size);
        }
    }
    return int(n);
}

int msSeek(mspack_file *file, off_t offset, int mode)
{
    if (!file)
        return -1;
    QFile &f = reinterpret_cast<MsFile *>(file)->file;
    qint64 to = offset;
    if (mode == MSPACK_SYS_SEEK_CUR)
        to += f.pos();
    else if (mode == MSPACK_SYS_SEEK_END)
        to += f.size();
    return to >= 0 && f.seek(to) ? 0 : -1;
}

off_t msTell(mspack_file *file)
{
    if (!file)
        return -1;
    return off_t(reinterpret_cast<MsFile *>(file)->file.pos());
}

void msMessage(mspack_file *, const char *, ...) {}

void *msAlloc(mspack_system *, size_t bytes)
{
    return std::malloc(bytes);
}
void msFree(void *p)
{
    std::free(p);
}
void msCopy(void *src, void *dest, size_t bytes)
{
    std::memmove(dest, src, bytes);
}

// Whether any existing part of `path` below `root` is a symbolic link.
bool passesThroughLink(const QString &root, const QString &relative)
{
    QString at = root;
    for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        at += QLatin1Char('/') + part;
        if (QFileInfo(at).isSymLink())
            return true;
    }
    return false;
}

QString storedNameOf(const mscabd_file *file)
{
    return (file->attribs & MSCAB_ATTRIB_UTF_NAME) ? QString::fromUtf8(file->filename)
                                                   : QString::fromLatin1(file->filename);
}

QDateTime stampOf(const mscabd_file *file)
{
    return QDateTime(QDate(file->date_y, file->date_m, file->date_d),
                     QTime(file->time_h, file->time_m, file->time_s));
}

QString tr(const char *text)
{
    return QCoreApplication::translate("TCABFile", text);
}
} // namespace

bool TCABFile::Extract()
{
    m_problems.clear();
    if (!QFileInfo(CABFile).isFile() || !QFile(CABFile).open(QIODevice::ReadOnly))
        return false;
    CabExtractor ex{{msOpen, msClose, msRead, msWrite, msSeek, msTell, msMessage, msAlloc, msFree,
                     msCopy, nullptr},
                    this};
    mscab_decompressor *cabd = mspack_create_cab_decompressor(&ex.sys);
    if (!cabd)
        return false;
    const QByteArray cabName = CABFile.toUtf8();
    mscabd_cabinet *cabinet = cabd->open(cabd, cabName.constData());
    if (!cabinet) {
        mspack_destroy_cab_decompressor(cabd);
        return false;
    }
    const QString root = TargetPath.isEmpty() ? QDir::currentPath() : QDir(TargetPath).absolutePath();
    bool ok = true;
    for (mscabd_file *file = cabinet->files; file; file = file->next) {
        const QString stored = storedNameOf(file);
        QString relative = stored;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!isSafeStoredName(stored) || passesThroughLink(root, relative)) {
            m_problems << tr("Name leads outside the target folder, not unpacked: %1").arg(stored);
            ok = false;
            continue;
        }
        const QString target = QDir::cleanPath(root + QLatin1Char('/') + relative);
        if (!QDir().mkpath(QFileInfo(target).path())) {
            m_problems << tr("Can't create the folder of %1").arg(target);
            ok = false;
            continue;
        }
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
            bool overwrite = true;
            if (OnOverWriteFile)
                OnOverWriteFile(this, target, overwrite);
            if (!overwrite)
                continue;
            if (!QFile::remove(target)) {
                m_problems << tr("Can't replace %1").arg(target);
                ok = false;
                continue;
            }
        }
        ex.storedName = stored;
        ex.target = target;
        ex.size = file->length;
        ex.written = 0;
        ex.clock.start();
        ex.stamp = stampOf(file);
        if (cabd->extract(cabd, file, target.toUtf8().constData()) != MSPACK_ERR_OK) {
            m_problems << tr("Can't unpack %1").arg(stored);
            ok = false;
        }
    }
    cabd->close(cabd, cabinet);
    mspack_destroy_cab_decompressor(cabd);
    return ok;
}

bool TCABFile::List(QList<TCABStoredFile> &files) const
{
    files.clear();
    CabExtractor ex{{msOpen, msClose, msRead, msWrite, msSeek, msTell, msMessage, msAlloc, msFree,
                     msCopy, nullptr},
                    const_cast<TCABFile *>(this)};
    mscab_decompressor *cabd = mspack_create_cab_decompressor(&ex.sys);
    if (!cabd)
        return false;
    mscabd_cabinet *cabinet = cabd->open(cabd, CABFile.toUtf8().constData());
    for (mscabd_file *file = cabinet ? cabinet->files : nullptr; file; file = file->next)
        files.append({storedNameOf(file), qint64(file->length), stampOf(file), file->attribs});
    if (cabinet)
        cabd->close(cabd, cabinet);
    mspack_destroy_cab_decompressor(cabd);
    return cabinet != nullptr;
}
