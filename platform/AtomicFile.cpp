#include "platform/AtomicFile.h"

#include "platform/BusyFolders.h"
#include "platform/ChunkedOut.h"

#include <QSaveFile>

QString AtomicFile::write(const QString &path, const QByteArray &data)
{
    return writeStreamed(path, [&data](ChunkedOut &out) { out.put(data.constData(), data.size()); });
}

QString AtomicFile::writeStreamed(const QString &path, const std::function<void(ChunkedOut &)> &fill)
{
    if (const QString busy = BusyFolders::refusal(path); !busy.isEmpty())
        return busy;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return f.errorString();
    ChunkedOut out([&f](const char *d, qsizetype n) { return f.write(d, n) == n; });
    fill(out); // an exception leaves the temporary file uncommitted, which removes it
    // commit() ignores a failed final flush (a full disk) and would replace the old file
    // with a short one, so the buffered rest is flushed and checked here.
    if (!out.flush() || !f.flush()) {
        const QString why = f.errorString();
        f.cancelWriting();
        return why;
    }
    if (!f.commit())
        return f.errorString();
    return {};
}
