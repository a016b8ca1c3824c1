// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the GPX and KML writers share: a device over the chunked output for
// QXmlStreamWriter, and texts made fit for XML.

#include "platform/ChunkedOut.h"

#include <QIODevice>
#include <QString>

#include <cstring>

class ChunkedXmlDevice : public QIODevice {
public:
    explicit ChunkedXmlDevice(ChunkedOut &out) : m_out(out) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        std::memcpy(m_out.take(size_t(size)), data, size_t(size));
        return size;
    }
    qint64 readData(char *, qint64) override { return -1; }

private:
    ChunkedOut &m_out;
};

// Characters XML 1.0 cannot carry become blanks (device texts may hold any byte);
// a carriage return too, since readers turn it into a line feed.
QString xmlSafe(const QString &text);
