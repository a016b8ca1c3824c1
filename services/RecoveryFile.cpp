// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/RecoveryFile.h"

#include "platform/AtomicFile.h"
#include "platform/ChunkedOut.h"
#include "platform/FileReader.h"
#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <atomic>
#include <cstring>
#include <map>

namespace Recovery {

namespace {

// Version 1: magic, version, header, rows, marks, end marker. Little-endian throughout.
constexpr char Magic[8] = {'K', 'V', 'X', 'R', 'E', 'C', 'O', 'V'};
constexpr char EndMark[8] = {'K', 'V', 'X', 'E', 'N', 'D', '\0', '\0'};
constexpr quint32 Version = 1;

QString text(const char *s)
{
    return QCoreApplication::translate("Recovery", s);
}

void putU32(ChunkedOut &out, quint32 v)
{
    qToLittleEndian(v, out.take(4));
}

// A text as its UTF-16 units: one byte each when every unit fits (the common case of
// device lists), else two. Exact for any text, lone surrogates included.
void putText(ChunkedOut &out, QStringView s)
{
    const qsizetype n = s.size();
    bool narrow = true;
    for (QChar c : s)
        if (c.unicode() > 0xFF) {
            narrow = false;
            break;
        }
    putU32(out, (quint32(n) << 1) | (narrow ? 0u : 1u));
    if (narrow) {
        char *p = out.take(size_t(n));
        for (qsizetype i = 0; i < n; ++i)
            p[i] = char(s[i].unicode());
    } else {
        char *p = out.take(size_t(n) * 2);
        for (qsizetype i = 0; i < n; ++i)
            qToLittleEndian(quint16(s[i].unicode()), p + 2 * i);
    }
}

void encodeTo(ChunkedOut &out, const Header &header, int colCount, int rowCount, const RowSource &rows,
              const std::vector<Mark> &marks)
{
    std::memcpy(out.take(8), Magic, 8);
    putU32(out, Version);
    *out.take(1) = char(header.kind);
    putText(out, header.fileName);
    putText(out, header.device);
    putText(out, header.instance);
    qToLittleEndian(qint64(header.time.toMSecsSinceEpoch()), out.take(8));
    putU32(out, quint32(colCount));
    putU32(out, quint32(rowCount));
    std::vector<QStringView> fields;
    for (int r = 0; r < rowCount; ++r) {
        fields.clear();
        rows(r, fields);
        putU32(out, quint32(fields.size()));
        for (QStringView f : fields)
            putText(out, f);
    }
    putU32(out, quint32(marks.size()));
    for (const Mark &m : marks) {
        putU32(out, quint32(m.row));
        putU32(out, quint32(m.col));
        putU32(out, m.flags);
    }
    std::memcpy(out.take(8), EndMark, 8);
}

// Reads with a bounds check before every field; the first failure sticks.
class Cursor {
public:
    explicit Cursor(const QByteArray &b) : m_p(b.constData()), m_end(b.constData() + b.size()) {}
    bool ok() const { return m_ok; }
    qsizetype left() const { return m_end - m_p; }
    bool need(qsizetype n)
    {
        if (!m_ok || n < 0 || left() < n)
            m_ok = false;
        return m_ok;
    }
    // A little-endian number; 0 once the data fell short.
    template <typename T>
    T number()
    {
        if (!need(qsizetype(sizeof(T))))
            return 0;
        const T v = qFromLittleEndian<T>(m_p);
        m_p += sizeof(T);
        return v;
    }
    quint32 u32() { return number<quint32>(); }
    qint64 i64() { return number<qint64>(); }
    quint8 u8() { return number<quint8>(); }
    bool bytes(const char *expected, qsizetype n)
    {
        if (!need(n))
            return false;
        const bool same = std::memcmp(m_p, expected, size_t(n)) == 0;
        m_p += n;
        return same;
    }
    QString str()
    {
        const quint32 head = u32();
        const qsizetype n = qsizetype(head >> 1);
        if (head & 1) {
            if (!need(n * 2))
                return {};
            QString s(n, Qt::Uninitialized);
            QChar *d = s.data();
            for (qsizetype i = 0; i < n; ++i)
                d[i] = QChar(qFromLittleEndian<quint16>(m_p + 2 * i));
            m_p += n * 2;
            return s;
        }
        if (!need(n))
            return {};
        const QString s = QString::fromLatin1(m_p, n);
        m_p += n;
        return s;
    }

private:
    const char *m_p;
    const char *m_end;
    bool m_ok = true;
};

} // namespace

QByteArray encode(const Header &header, int colCount, int rowCount, const RowSource &rows,
                  const std::vector<Mark> &marks)
{
    return ChunkedOut::collect([&](ChunkedOut &out) { encodeTo(out, header, colCount, rowCount, rows, marks); });
}

QString write(const QString &path, const Header &header, int colCount, int rowCount, const RowSource &rows,
              const std::vector<Mark> &marks)
{
    return AtomicFile::writeStreamed(path, [&](ChunkedOut &out) { encodeTo(out, header, colCount, rowCount, rows, marks); });
}

std::optional<Document> decode(const QByteArray &bytes, QString *reason)
{
    const auto fail = [reason](const char *why) {
        if (reason)
            *reason = text(why);
        return std::nullopt;
    };
    Cursor in(bytes);
    if (!in.bytes(Magic, 8))
        return fail(QT_TRANSLATE_NOOP("Recovery", "not a recovery file"));
    if (in.u32() != Version)
        return fail(QT_TRANSLATE_NOOP("Recovery", "a recovery file of another version"));
    Document d;
    const quint8 kind = in.u8();
    if (kind != quint8(DocumentKind::PoiList) && kind != quint8(DocumentKind::Itinerary))
        return fail(QT_TRANSLATE_NOOP("Recovery", "unknown kind of list"));
    d.header.kind = DocumentKind(kind);
    d.header.fileName = in.str();
    d.header.device = in.str();
    d.header.instance = in.str();
    d.header.time = QDateTime::fromMSecsSinceEpoch(in.i64(), Qt::UTC);
    const quint32 cols = in.u32();
    const quint32 rowCount = in.u32();
    // Every row takes at least its count: a count beyond the bytes left is garbage,
    // caught before anything is reserved for it.
    if (!in.ok() || cols > 1000 || rowCount > quint32(in.left() / 4))
        return fail(QT_TRANSLATE_NOOP("Recovery", "the file is cut short or damaged"));
    d.colCount = int(cols);
    d.rows.reserve(rowCount);
    for (quint32 r = 0; r < rowCount && in.ok(); ++r) {
        const quint32 n = in.u32();
        if (n > quint32(in.left() / 4) || n > 1000)
            return fail(QT_TRANSLATE_NOOP("Recovery", "the file is cut short or damaged"));
        QStringList row;
        row.reserve(n);
        for (quint32 f = 0; f < n; ++f)
            row.append(in.str());
        d.rows.push_back(std::move(row));
    }
    const quint32 markCount = in.u32();
    if (!in.ok() || markCount > quint32(in.left() / 12))
        return fail(QT_TRANSLATE_NOOP("Recovery", "the file is cut short or damaged"));
    d.marks.reserve(markCount);
    for (quint32 i = 0; i < markCount; ++i) {
        Mark m;
        m.row = int(in.u32());
        m.col = int(in.u32());
        m.flags = in.u32();
        if (m.row < 0 || quint32(m.row) >= rowCount || m.col < 0 || quint32(m.col) >= cols)
            return fail(QT_TRANSLATE_NOOP("Recovery", "the file is cut short or damaged"));
        d.marks.push_back(m);
    }
    if (!in.bytes(EndMark, 8) || in.left() != 0)
        return fail(QT_TRANSLATE_NOOP("Recovery", "the file is cut short or damaged"));
    return d;
}

std::optional<Document> read(const QString &path, QString *error)
{
    QString why;
    const std::optional<QByteArray> bytes = FileReader::read(path, FileReader::MaxListBytes, &why);
    if (!bytes) {
        if (error)
            *error = why;
        return std::nullopt;
    }
    std::optional<Document> d = decode(*bytes, &why);
    if (!d && error)
        *error = path + QStringLiteral(": ") + why;
    return d;
}

QString folder()
{
    return Folders::UserDataFolder() + QStringLiteral("recovery/");
}

QString newInstanceName()
{
    // Two in one process (tests) never share a name, even within a millisecond.
    static std::atomic<qint64> last{0};
    qint64 ms = QDateTime::currentMSecsSinceEpoch();
    qint64 seen = last.load();
    while (!last.compare_exchange_weak(seen, std::max(ms, seen + 1)))
        ;
    ms = std::max(ms, seen + 1);
    return QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(ms);
}

QString instanceOfFile(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dash = name.lastIndexOf(u'-');
    return dash > 0 ? name.left(dash) : QString();
}

InstanceLock::InstanceLock(const QString &dir, const QString &instance)
    : m_instance(instance)
    , m_lock(std::make_unique<QLockFile>(dir + instance + QStringLiteral(".lock")))
{
    // Only a holder that is gone frees the lock, however long it has been held.
    m_lock->setStaleLockTime(0);
}

bool InstanceLock::tryTake()
{
    return m_lock->isLocked() || m_lock->tryLock(0);
}

void InstanceLock::release()
{
    m_lock->unlock();
}

Scan scan(const QString &dir, const QString &ownInstance)
{
    Scan result;
    const QStringList names =
        QDir(dir).entryList({QStringLiteral("*") + QLatin1String(Suffix)}, QDir::Files, QDir::Name);
    std::map<QString, InstanceLock *> taken; // instance -> its lock, nullptr while it lives
    for (const QString &name : names) {
        const QString instance = instanceOfFile(name);
        if (instance.isEmpty() || instance == ownInstance)
            continue;
        auto it = taken.find(instance);
        if (it == taken.end()) {
            auto lock = std::make_unique<InstanceLock>(dir, instance);
            InstanceLock *held = lock->tryTake() ? lock.get() : nullptr;
            if (held)
                result.locks.push_back(std::move(lock));
            it = taken.emplace(instance, held).first;
        }
        if (!it->second)
            continue; // that copy of the program still runs: its files are its own
        const QString path = dir + name;
        QString error;
        std::optional<Document> d = read(path, &error);
        if (!d) {
            // Kept for a look, but not told again.
            QFile::rename(path, path + QStringLiteral(".bad"));
            result.problems << error;
            continue;
        }
        result.files.push_back({path, std::move(*d)});
    }
    // The lock of an ended run that left no list goes, or every crash would leave one.
    for (const QString &name : QDir(dir).entryList({QStringLiteral("*.lock")}, QDir::Files)) {
        const QString instance = name.chopped(5);
        if (instance == ownInstance || taken.count(instance))
            continue;
        InstanceLock lock(dir, instance);
        if (lock.tryTake())
            lock.release();
    }
    return result;
}

} // namespace Recovery
