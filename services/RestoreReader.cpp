// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/RestoreReader.h"

#include "platform/FileReader.h"
#include "services/MsPackMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <mspack.h>

#include <cstdlib>
#include <cstring>

// The library reads the cabinets as files and writes the unpacked file to a name we
// choose: that one name stands for the caller's device.
struct RestoreSetReader::Impl {
    mspack_system sys; // first: the library hands it back as `self`
    mscab_decompressor *cabd = nullptr;
    mscabd_cabinet *first = nullptr;
    QList<QByteArray> names; // the library keeps pointers to the cabinet names
    QList<mscabd_file *> files;
    // The file being unpacked.
    QIODevice *out = nullptr;
    const std::function<bool(qint64)> *progress = nullptr;
    qint64 written = 0;
    bool stopped = false;
};

namespace {
const char SinkName[] = "\x01restore-sink";

struct MsFile {
    QFile file;
    RestoreSetReader::Impl *sink = nullptr; // set for the unpacked file
};

mspack_file *msOpen(mspack_system *self, const char *name, int mode)
{
    auto *d = reinterpret_cast<RestoreSetReader::Impl *>(self);
    auto *f = new MsFile;
    if (std::strcmp(name, SinkName) == 0) {
        if (mode != MSPACK_SYS_OPEN_WRITE || !d->out) {
            delete f;
            return nullptr;
        }
        f->sink = d;
        return reinterpret_cast<mspack_file *>(f);
    }
    // Cabinets are only read, and only when they are regular files.
    if (mode != MSPACK_SYS_OPEN_READ
        || !FileReader::open(f->file, QString::fromUtf8(name), MaxCabinetFileBytes).isEmpty()) {
        delete f;
        return nullptr;
    }
    return reinterpret_cast<mspack_file *>(f);
}

void msClose(mspack_file *file)
{
    delete reinterpret_cast<MsFile *>(file);
}

int msRead(mspack_file *file, void *buffer, int bytes)
{
    auto *f = reinterpret_cast<MsFile *>(file);
    if (!f || f->sink)
        return -1;
    return int(f->file.read(static_cast<char *>(buffer), bytes));
}

int msWrite(mspack_file *file, void *buffer, int bytes)
{
    auto *f = reinterpret_cast<MsFile *>(file);
    if (!f || !f->sink)
        return -1;
    RestoreSetReader::Impl *d = f->sink;
    if (d->out->write(static_cast<const char *>(buffer), bytes) != bytes)
        return -1;
    d->written += bytes;
    if (d->progress && *d->progress && !(*d->progress)(d->written)) {
        d->stopped = true;
        return -1;
    }
    return bytes;
}

int msSeek(mspack_file *file, off_t offset, int mode)
{
    auto *f = reinterpret_cast<MsFile *>(file);
    if (!f || f->sink)
        return -1;
    qint64 to = offset;
    if (mode == MSPACK_SYS_SEEK_CUR)
        to += f->file.pos();
    else if (mode == MSPACK_SYS_SEEK_END)
        to += f->file.size();
    return to >= 0 && f->file.seek(to) ? 0 : -1;
}

off_t msTell(mspack_file *file)
{
    auto *f = reinterpret_cast<MsFile *>(file);
    if (!f || f->sink)
        return -1;
    return off_t(f->file.pos());
}


QString tr(const char *text)
{
    return QCoreApplication::translate("TRestore", text);
}

// The next cabinet as the set names it, in the folder of the first: its name is
// compared without case, as the format's names are.
QString findBeside(const QDir &folder, const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return {};
    if (QFileInfo(folder.filePath(name)).isFile())
        return folder.filePath(name);
    for (const QString &entry : folder.entryList(QDir::Files | QDir::Hidden))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return {};
}
} // namespace

RestoreSetReader::RestoreSetReader(const QString &firstCabinet)
    : d(new Impl{{msOpen, msClose, msRead, msWrite, msSeek, msTell, mspackmemory::message, mspackmemory::alloc,
                  mspackmemory::release, mspackmemory::copy, nullptr}})
    , m_first(firstCabinet)
{
}

RestoreSetReader::~RestoreSetReader()
{
    if (d->first)
        d->cabd->close(d->cabd, d->first);
    if (d->cabd)
        mspack_destroy_cab_decompressor(d->cabd);
}

bool RestoreSetReader::open()
{
    d->cabd = mspack_create_cab_decompressor(&d->sys);
    if (!d->cabd) {
        m_error = tr("Can't read cabinets");
        return false;
    }
    d->names.append(m_first.toUtf8());
    {
        QFile probe;
        if (const QString why = FileReader::open(probe, m_first, MaxCabinetFileBytes); !why.isEmpty()) {
            m_error = why;
            return false;
        }
    }
    d->first = d->cabd->open(d->cabd, d->names.last().constData());
    if (!d->first) {
        m_error = tr("Not a readable backup: %1").arg(m_first);
        return false;
    }
    m_cabinets << m_first;
    const QDir folder = QFileInfo(m_first).dir();
    mscabd_cabinet *last = d->first;
    // A set of more cabinets than files is not one of ours: a loop of names stops here.
    while ((last->flags & MSCAB_HDR_NEXTCAB) && m_cabinets.size() <= 65535) {
        const QString nextName = QString::fromLatin1(last->nextname ? last->nextname : "");
        const QString next = findBeside(folder, nextName);
        if (next.isEmpty() || m_cabinets.contains(next)) {
            m_error = tr("A cabinet of the backup is missing: %1").arg(folder.filePath(nextName));
            return false;
        }
        d->names.append(next.toUtf8());
        mscabd_cabinet *cab = d->cabd->open(d->cabd, d->names.last().constData());
        if (!cab || d->cabd->append(d->cabd, last, cab) != MSPACK_ERR_OK) {
            if (cab)
                d->cabd->close(d->cabd, cab);
            m_error = tr("Not a readable backup: %1").arg(next);
            return false;
        }
        m_cabinets << next;
        last = cab;
    }
    for (mscabd_file *file = d->first->files; file; file = file->next) {
        d->files.append(file);
        const QString name = (file->attribs & MSCAB_ATTRIB_UTF_NAME) ? QString::fromUtf8(file->filename)
                                                                     : QString::fromLatin1(file->filename);
        const QDateTime time(QDate(file->date_y, file->date_m, file->date_d),
                             QTime(file->time_h, file->time_m, file->time_s));
        m_files.append({name, qint64(file->length), time, file->attribs});
    }
    return true;
}

bool RestoreSetReader::extract(int index, QIODevice &out, const std::function<bool(qint64)> &progress)
{
    if (index < 0 || index >= d->files.size())
        return false;
    d->out = &out;
    d->progress = &progress;
    d->written = 0;
    d->stopped = false;
    const int err = d->cabd->extract(d->cabd, d->files[index], SinkName);
    d->out = nullptr;
    d->progress = nullptr;
    return err == MSPACK_ERR_OK && !d->stopped && d->written == m_files[index].size;
}
