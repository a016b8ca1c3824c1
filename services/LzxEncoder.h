// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

// Compresses the 32 KiB frames of one folder with LZX: every frame is one verbatim block
// with its own trees, padded to 16 bits, so it fills one data block of the archive;
// matches reach back into earlier frames as far as the window allows. A frame that would
// grow (data without matches) is stored as an uncompressed block instead.
class LzxEncoder {
public:
    explicit LzxEncoder(int windowBits); // 15 ... 21
    // Starts a new folder: empty window, fresh trees.
    void reset();
    // The compressed form of the next frame of `size` (1 ... 32768) bytes.
    void encode(const char *data, int size, QByteArray &out);

private:
    struct Symbol {
        uint32_t length; // 0: a literal
        uint32_t value;  // the byte, or the match's offset
    };
    void findMatches(int64_t from, int64_t to, std::vector<Symbol> &symbols);

    // Hash chains stay short on data without matches when there are about as many
    // buckets as window positions.
    int m_windowBits, m_hashBits, m_slots;
    int64_t m_window;
    std::vector<uint8_t> m_buf; // the last window of data and the current frame
    int64_t m_bufStart = 0, m_pos = 0;
    std::vector<int32_t> m_head, m_prev; // positions within the folder (below 2 GiB)
    std::vector<uint8_t> m_mainLens, m_lengthLens; // the previous block's, as the reader keeps them
    bool m_started = false;
    std::array<uint32_t, 3> m_repeats{1, 1, 1}; // the reader's last three match offsets
};
