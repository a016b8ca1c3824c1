// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TRBRowStore: packs the rows a reader appends into shared chunks of text, so a
// million rows cost a few hundred allocations instead of one each.
//
// Every row keeps a reference on its chunk, as any QString keeps one on its buffer:
// rows outlive the store, copy cheaply and detach to a buffer of their own on their
// first change; a chunk is freed with the last row that points into it. A store is
// not thread-safe; copying one gives an empty store (two stores never append into
// one chunk).

#include "core/RBParams.h"

#include <QVarLengthArray>

#include <initializer_list>

class TRBRowStore {
public:
    TRBRowStore() = default;
    TRBRowStore(const TRBRowStore &) {}
    TRBRowStore &operator=(const TRBRowStore &other);
    TRBRowStore(TRBRowStore &&other) noexcept;
    TRBRowStore &operator=(TRBRowStore &&other) noexcept;
    ~TRBRowStore() { Release(); }

    // A row of these fields, packed as TRBParams packs its own.
    TRBParams Pack(std::initializer_list<QStringView> fields);
    TRBParams Pack(std::initializer_list<QString> fields);
    TRBParams Pack(const QStringList &fields);
    // Sets field `index` (an existing one) of `row`. A row already in a buffer of its
    // own with a field of the same length is changed in place; any other row would
    // need a buffer of its own and is packed here again instead, so rewriting a
    // field of a million packed rows costs no allocation per row.
    void SetField(TRBParams &row, int index, QStringView value);
    // Drops the store's own hold on its current chunk. Chunk sizes go on growing from
    // where they were: a table repacking a million rows goes straight to large chunks.
    void Release();

private:
    template <typename Fields>
    TRBParams pack(const Fields &fields);

    void newChunk(qsizetype least);

    TRBParams::Block *m_chunk = nullptr; // the chunk being filled
    qsizetype m_used = 0;                // units of it taken by rows
    qsizetype m_capacity = 0;
    qsizetype m_nextChunkChars = 0;
};
