#pragma once
#include <QByteArray>

#include <zlib.h>

// Compresses the 32 KiB blocks of one folder. MSZIP: every block is "CK" and a deflate
// stream closed by a final empty block; the stream itself goes on across blocks, so each
// block can refer back into the previous one as the reader's window allows.
class MszipBlockEncoder {
public:
    explicit MszipBlockEncoder(int level = Z_DEFAULT_COMPRESSION);
    ~MszipBlockEncoder();
    MszipBlockEncoder(const MszipBlockEncoder &) = delete;
    MszipBlockEncoder &operator=(const MszipBlockEncoder &) = delete;
    // Starts a new folder: no history.
    void reset();
    // The compressed form of `size` (at most 32768) bytes; false when zlib fails.
    bool encode(const char *data, int size, QByteArray &out);

private:
    z_stream m_z{};
};

// The checksum of a data block as the format defines it (over the data, then over the
// two sizes of its header).
quint32 cabChecksum(const char *data, int size, quint32 seed);
