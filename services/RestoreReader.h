// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "services/CabFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QIODevice;

// Reads a cabinet set through libmspack, from its first cabinet on: the following
// cabinets are found by the names the set records, in the first one's folder. Each
// file is unpacked into a device the caller opened, so a restore can write through
// QSaveFile and join parts.
class RestoreSetReader {
public:
    explicit RestoreSetReader(const QString &firstCabinet);
    ~RestoreSetReader();
    RestoreSetReader(const RestoreSetReader &) = delete;
    RestoreSetReader &operator=(const RestoreSetReader &) = delete;

    // False when the first cabinet is not readable or a cabinet of the set is missing;
    // error() says which.
    bool open();
    QString error() const { return m_error; }
    QStringList cabinets() const { return m_cabinets; }
    const QList<TCABStoredFile> &files() const { return m_files; }

    // Appends file `index` to `out`. `progress` gets the bytes written of this file
    // and returns false to stop; false when the file could not be unpacked or stopped.
    bool extract(int index, QIODevice &out, const std::function<bool(qint64 written)> &progress);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
    QString m_first, m_error;
    QStringList m_cabinets;
    QList<TCABStoredFile> m_files;
};
