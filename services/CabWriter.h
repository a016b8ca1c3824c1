// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

#include <zlib.h>

// Compresses the 32 KiB blocks of one folder. MSZIP: every block is "CK" and a deflate
// stream closed by a final empty block; the stream itself goes on across blocks, so each
// block can refer back into the previous one as the reader's window allows.
class MszipBlockEncoder {
public:
    // Level 5 packs tighter than the other writer we know at its speed on one core.
    explicit MszipBlockEncoder(int level = 5);
    ~MszipBlockEncoder();
    MszipBlockEncoder(const MszipBlockEncoder &) = delete;
    MszipBlockEncoder &operator=(const MszipBlockEncoder &) = delete;
    // Starts a new folder: no history.
    void reset();
    // Starts coding in the middle of a folder: `dictionary` is the block before.
    void start(const char *dictionary, int size);
    // The compressed form of `size` (at most 32768) bytes; false when zlib fails.
    bool encode(const char *data, int size, QByteArray &out);

private:
    z_stream m_z{};
};

// The checksum of a data block as the format defines it (over the data, then over the
// two sizes of its header).
quint32 cabChecksum(const char *data, int size, quint32 seed);
