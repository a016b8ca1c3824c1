// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/CabFile.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceFiles.h"
#include "platform/FileReader.h"
#include "services/MsPackMemory.h"
#include "services/BackgroundFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <mspack.h>
#include <zlib.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <list>
#include <memory>

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
    // Where unpacked files go: written beside the reader, put in place only when the
    // library says they are whole.
    std::unique_ptr<BackgroundFiles> files;
    // Verifying: written data only goes into the checksum.
    bool verifying = false;
    quint32 crc = 0;
    // Cancelling is asked for before each file and at most every ~30 ms within one.
    QElapsedTimer pollClock;
    bool cancelled = false;
    bool cancelRequested(bool now = false)
    {
        if (!cancelled && cab->Cancelled && (now || !pollClock.isValid() || pollClock.elapsed() >= 30)) {
            pollClock.restart();
            cancelled = cab->Cancelled();
        }
        return cancelled;
    }
};

namespace {
struct MsFile {
    QFile file;
    CabExtractor *owner = nullptr; // set for the unpacked file only
    bool sink = false;             // a verified file: nothing is written
    bool out = false;              // an unpacked file, written by ex->files
};

mspack_file *msOpen(mspack_system *self, const char *name, int mode)
{
    auto *ex = reinterpret_cast<CabExtractor *>(self);
    auto *f = new MsFile;
    if (mode == MSPACK_SYS_OPEN_WRITE && ex->verifying) {
        f->sink = true;
        f->owner = ex;
        ex->crc = quint32(crc32(0, nullptr, 0));
        return reinterpret_cast<mspack_file *>(f);
    }
    if (mode == MSPACK_SYS_OPEN_WRITE) {
        if (!ex->files) {
            delete f;
            return nullptr;
        }
        // Beside the old file, which stays until the new one is whole.
        f->owner = ex;
        f->out = true;
        ex->files->open(QString::fromUtf8(name));
        return reinterpret_cast<mspack_file *>(f);
    }
    // The archives are only read, and only when they are regular files.
    if (mode != MSPACK_SYS_OPEN_READ
        || !FileReader::open(f->file, QString::fromUtf8(name), MaxCabinetFileBytes).isEmpty()) {
        delete f;
        return nullptr;
    }
    return reinterpret_cast<mspack_file *>(f);
}

// A mangled archive can make the library use a file it failed to open: every call
// takes a null file as a failure.
void msClose(mspack_file *file)
{
    delete reinterpret_cast<MsFile *>(file);
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
    if (!f || (f->owner && f->owner->cancelRequested()))
        return -1;
    qint64 n = bytes;
    if (f->sink)
        f->owner->crc = quint32(crc32(f->owner->crc, static_cast<const Bytef *>(buffer), uInt(bytes)));
    else if (f->out)
        f->owner->files->write(static_cast<const char *>(buffer), bytes);
    else
        return -1;
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

// The library with our file callbacks, closed with whatever it opened.
class CabReader {
public:
    explicit CabReader(TCABFile *cab)
        : ex{{msOpen, msClose, msRead, msWrite, msSeek, msTell, mspackmemory::message, mspackmemory::alloc,
              mspackmemory::release, mspackmemory::copy, nullptr}, cab}
        , cabd(mspack_create_cab_decompressor(&ex.sys))
    {
    }
    ~CabReader()
    {
        if (first)
            cabd->close(cabd, first);
        if (cabd)
            mspack_destroy_cab_decompressor(cabd);
    }
    CabReader(const CabReader &) = delete;
    CabReader &operator=(const CabReader &) = delete;

    // Opens `path` and appends every cabinet that its set names next, from the same
    // folder; false when any is unreadable, with what is wrong about the set added to
    // `problems`.
    bool open(const QString &path, QStringList *problems = nullptr)
    {
        if (openSet(path))
            return true;
        if (problems && !problem.isEmpty())
            *problems << problem;
        return false;
    }

    CabExtractor ex;
    mscab_decompressor *cabd;
    mscabd_cabinet *first = nullptr;
    // The library opens the cabinets again by these names while unpacking.
    std::list<QByteArray> names;

private:
    bool openSet(const QString &path)
    {
        if (!cabd)
            return false;
        names.push_back(path.toUtf8());
        first = cabd->open(cabd, names.back().constData());
        if (!first)
            return false;
        QStringList seen{QFileInfo(path).absoluteFilePath()};
        QString at = path;
        for (mscabd_cabinet *last = first; last->flags & MSCAB_HDR_NEXTCAB;) {
            const QString nextName = QString::fromUtf8(last->nextname ? last->nextname : "");
            const bool plainName = !nextName.isEmpty() && !nextName.contains(QLatin1Char('/'))
                                   && !nextName.contains(QLatin1Char('\\')) && nextName != QLatin1String("..");
            const QString next = plainName ? DeviceFiles::find(QFileInfo(at).absolutePath(), nextName) : QString();
            // A set that names one of its own cabinets again would never end.
            if (next.isEmpty() || seen.contains(QFileInfo(next).absoluteFilePath())) {
                problem = tr("The next cabinet of the set is missing: %1").arg(nextName);
                return false;
            }
            names.push_back(next.toUtf8());
            mscabd_cabinet *cabinet = cabd->open(cabd, names.back().constData());
            if (!cabinet || cabd->append(cabd, last, cabinet) != MSPACK_ERR_OK) {
                if (cabinet)
                    cabd->close(cabd, cabinet);
                problem = tr("%1 does not continue the cabinet set").arg(next);
                return false;
            }
            seen << QFileInfo(next).absoluteFilePath();
            at = next;
            last = cabinet;
        }
        return true;
    }

    QString problem;
};

// The folders below `root` that a file at `target` needs and that do not exist yet,
// the deepest first.
QStringList missingFolders(const QString &root, const QString &target)
{
    QStringList missing;
    for (QString dir = QFileInfo(target).path(); dir.size() > root.size() && !QFileInfo::exists(dir);
         dir = QFileInfo(dir).path())
        missing << dir;
    return missing;
}
} // namespace

bool TCABFile::Extract()
{
    m_problems.clear();
    {
        QFile archive;
        if (const QString why = FileReader::open(archive, CABFile, MaxCabinetFileBytes); !why.isEmpty()) {
            m_problems << why;
            return false;
        }
    }
    CabReader reader(this);
    if (!reader.open(CABFile, &m_problems))
        return false;
    CabExtractor &ex = reader.ex;
    ex.files = std::make_unique<BackgroundFiles>();
    const QString root = TargetPath.isEmpty() ? QDir::currentPath() : QDir(TargetPath).absolutePath();
    // Files that did not exist before: a cancel takes them away again. Replaced files keep
    // their new contents, as their old ones are gone.
    QSet<QString> created;
    QStringList createdFolders;
    const QStringList rootMissing = QFileInfo::exists(root) ? QStringList() : QStringList{root};
    QSet<QString> existed;
    bool ok = true, wroteAny = false;
    const auto collect = [&] {
        for (const BackgroundFiles::Outcome &o : ex.files->wait()) {
            if (!o.error.isEmpty()) {
                m_problems << tr("Can't write %1").arg(o.target) + QStringLiteral(": ") + o.error;
                ok = false;
                continue;
            }
            wroteAny = true;
            if (!existed.contains(o.target))
                created.insert(o.target);
        }
    };
    const auto cancel = [&] {
        ex.files->drop();
        collect();
        for (const QString &path : std::as_const(created))
            QFile::remove(path);
        for (const QString &dir : createdFolders + rootMissing)
            QDir().rmdir(dir);
        throw ECABFileError(ECABFileError::Cancelled, CABFile);
    };
    for (mscabd_file *file = reader.first->files; file; file = file->next) {
        if (ex.cancelRequested(true))
            cancel();
        const QString stored = storedNameOf(file);
        QString relative = stored;
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!isSafeStoredName(stored) || passesThroughLink(root, relative)) {
            m_problems << tr("Name leads outside the target folder, not unpacked: %1").arg(stored);
            ok = false;
            continue;
        }
        const QString target = QDir::cleanPath(root + QLatin1Char('/') + relative);
        const QStringList missing = missingFolders(root, target);
        if (!QDir().mkpath(QFileInfo(target).path())) {
            m_problems << tr("Can't create the folder of %1").arg(target);
            ok = false;
            continue;
        }
        createdFolders = missing + createdFolders;
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
            bool overwrite = true;
            if (OnOverWriteFile)
                OnOverWriteFile(this, target, overwrite);
            if (!overwrite)
                continue;
            existed.insert(target);
        }
        ex.storedName = stored;
        ex.target = target;
        ex.size = file->length;
        ex.written = 0;
        ex.clock.start();
        ex.stamp = stampOf(file);
        const int result = reader.cabd->extract(reader.cabd, file, target.toUtf8().constData());
        if (ex.cancelled)
            cancel(); // the unfinished file's temporary goes with it
        if (result != MSPACK_ERR_OK || ex.written != ex.size) {
            ex.files->drop();
            m_problems << tr("Can't unpack %1").arg(stored);
            ok = false;
            continue;
        }
        ex.files->commit(ex.stamp, false);
    }
    collect();
    // One sync for every file written: until it has succeeded nothing is reported done.
    if (wroteAny)
        if (const QString why = AtomicFile::syncFileSystem(root); !why.isEmpty()) {
            m_problems << tr("Can't write %1").arg(root) + QStringLiteral(": ") + why;
            ok = false;
        }
    return ok;
}

bool TCABFile::List(QList<TCABStoredFile> &files) const
{
    files.clear();
    CabReader reader(const_cast<TCABFile *>(this));
    if (!reader.open(CABFile))
        return false;
    for (mscabd_file *file = reader.first->files; file; file = file->next)
        files.append({storedNameOf(file), qint64(file->length), stampOf(file), file->attribs});
    return true;
}

bool TCABFile::Verify(const std::function<void(const TCABStoredFile &file, quint32 crc32)> &onFile)
{
    m_problems.clear();
    CabReader reader(this);
    if (!reader.open(CABFile, &m_problems))
        return false;
    CabExtractor &ex = reader.ex;
    ex.verifying = true;
    bool ok = true;
    for (mscabd_file *file = reader.first->files; file; file = file->next) {
        if (ex.cancelRequested(true))
            throw ECABFileError(ECABFileError::Cancelled, CABFile);
        const TCABStoredFile stored{storedNameOf(file), qint64(file->length), stampOf(file), file->attribs};
        ex.storedName = stored.name;
        ex.size = stored.size;
        ex.written = 0;
        ex.clock.start();
        const int result = reader.cabd->extract(reader.cabd, file, "");
        if (ex.cancelled)
            throw ECABFileError(ECABFileError::Cancelled, CABFile);
        if (result != MSPACK_ERR_OK) {
            m_problems << tr("Can't unpack %1").arg(stored.name);
            ok = false;
            continue;
        }
        if (onFile)
            onFile(stored, ex.crc);
    }
    return ok;
}
