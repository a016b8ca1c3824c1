// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recovery files: what an unsaved POI list or itinerary looked like, kept in the user
// data folder so a run that ends without a clean exit loses nothing. The rows are kept
// as the user left them (cell texts, marks, order), not in the device format, which
// reorders a list by area.
//
// One file per document, named "<instance>-<serial>.krec"; each run of the program is
// an instance that holds "<instance>.lock" while it lives, so two copies never take
// each other's files.

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Recovery {

enum class DocumentKind : quint8 { PoiList = 1, Itinerary = 2 };

struct Header {
    DocumentKind kind = DocumentKind::PoiList;
    // The document's file; a folder (ending in "/") or empty for a list never saved.
    QString fileName;
    // Root of the device the document belongs to; empty when none.
    QString device;
    QDateTime time; // when the file was written
    QString instance;
};

// A cell's flags (marks, duplicate colours) that are not zero.
struct Mark {
    int row = 0;
    int col = 0;
    quint32 flags = 0;
};

struct Document {
    Header header;
    int colCount = 0;
    std::vector<QStringList> rows; // every row, the header row 0 included
    std::vector<Mark> marks;
};

// The rows to write, one at a time: fill `fields` with row `row`'s texts.
using RowSource = std::function<void(int row, std::vector<QStringView> &fields)>;

// The file's bytes, written through the atomic save. Returns an empty text or the
// system's reason.
QString write(const QString &path, const Header &header, int colCount, int rowCount, const RowSource &rows,
              const std::vector<Mark> &marks);
// The same bytes in memory.
QByteArray encode(const Header &header, int colCount, int rowCount, const RowSource &rows,
                  const std::vector<Mark> &marks);
// A file's content, or nothing with the reason (naming the file) in `error`.
std::optional<Document> read(const QString &path, QString *error);
std::optional<Document> decode(const QByteArray &bytes, QString *reason);

// $XDG_DATA_HOME/Korvix/recovery/
QString folder();
// This run's name: its process id and start time.
QString newInstanceName();
QString instanceOfFile(const QString &fileName);
constexpr char Suffix[] = ".krec";

// The lock a living instance holds on its name.
class InstanceLock {
public:
    InstanceLock(const QString &folder, const QString &instance);
    // Takes the lock when its instance is gone (or never held it); false while it lives.
    bool tryTake();
    void release();
    const QString &instance() const { return m_instance; }

private:
    QString m_instance;
    std::unique_ptr<QLockFile> m_lock;
};

// A file left by an instance that is gone.
struct Found {
    QString path;
    Document document;
};

// What a start finds: readable files of ended instances, the unreadable ones (set
// aside with a suffix, so they are told once), and the locks of the ended instances,
// held until the user has answered.
struct Scan {
    std::vector<Found> files;
    QStringList problems;
    std::vector<std::unique_ptr<InstanceLock>> locks;
};
Scan scan(const QString &folder, const QString &ownInstance);

} // namespace Recovery
