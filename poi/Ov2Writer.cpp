// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Ov2Writer.h"

#include "platform/AtomicFile.h"
#include "platform/ChunkedOut.h"
#include "platform/Error.h"
#include "platform/Progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstring>
#include <limits>

void Ov2PointList::reserve(size_t count, qsizetype textBytes)
{
    m_points.reserve(count);
    if (textBytes > 0)
        m_texts.reserve(textBytes);
}

void Ov2PointList::add(qint32 lon, qint32 lat, QByteArrayView description)
{
    Point p;
    p.lon = lon;
    p.lat = lat;
    p.descPos = quint32(m_texts.size());
    p.descLen = quint32(description.size());
    m_texts.append(description);
    m_points.push_back(p);
}

void splitArea(const AreaRect &a, AreaRect out[4])
{
    const qint64 midLon = a.west + (a.east - a.west) / 2;
    const qint64 midLat = a.south + (a.north - a.south) / 2;
    out[0] = {a.west, a.north, midLon, midLat + 1};
    out[1] = {midLon + 1, a.north, a.east, midLat + 1};
    out[2] = {a.west, midLat, midLon, a.south};
    out[3] = {midLon + 1, midLat, a.east, a.south};
}

AreaRect mainRect(const Ov2PointList &list)
{
    AreaRect r;
    if (list.empty())
        return r;
    r.west = r.east = list[0].lon;
    r.north = r.south = list[0].lat;
    for (size_t i = 1; i < list.size(); ++i) {
        const auto &p = list[i];
        r.west = qMin<qint64>(r.west, p.lon);
        r.east = qMax<qint64>(r.east, p.lon);
        r.north = qMax<qint64>(r.north, p.lat);
        r.south = qMin<qint64>(r.south, p.lat);
    }
    return r;
}

namespace {

constexpr size_t kLeafLimit = 32;
constexpr qint64 kSkipperSize = 21;

// The tree in writing order (preorder); a leaf's rows are idx[begin, end).
struct TreeNode {
    AreaRect rect;
    qint64 size;
    quint32 begin, end;
    bool leaf;
};

class TreeBuilder {
public:
    explicit TreeBuilder(const Ov2PointList &list) : m_list(list)
    {
        const size_t n = list.size();
        m_idx.resize(n);
        m_scratch.resize(n);
        m_quad.resize(n);
        for (size_t i = 0; i < n; ++i)
            m_idx[i] = quint32(i);
    }

    // The rows of idx[begin, end) lie in `r`, in list order. Returns the block size.
    qint64 build(const AreaRect &r, quint32 begin, quint32 end)
    {
        if (begin == end)
            return 0;
        const size_t self = m_nodes.size();
        m_nodes.push_back({r, 0, begin, end, false});
        const bool point = r.west == r.east && r.south == r.north;
        qint64 size = kSkipperSize;
        if (end - begin < kLeafLimit || point) {
            // One point cannot be halved any further: a leaf whatever its count.
            for (quint32 k = begin; k < end; ++k)
                size += m_list.recordSize(m_list[m_idx[k]]);
            m_nodes[self].leaf = true;
        } else {
            AreaRect sub[4];
            splitArea(r, sub);
            const qint64 midLon = sub[0].east, midLat = sub[2].north;
            quint32 counts[4] = {0, 0, 0, 0};
            for (quint32 k = begin; k < end; ++k) {
                const auto &p = m_list[m_idx[k]];
                const quint8 q = quint8((p.lon > midLon ? 1 : 0) | (p.lat <= midLat ? 2 : 0));
                m_quad[k] = q;
                ++counts[q];
            }
            quint32 starts[4];
            starts[0] = begin;
            for (int q = 1; q < 4; ++q)
                starts[q] = starts[q - 1] + counts[q - 1];
            quint32 fill[4] = {starts[0], starts[1], starts[2], starts[3]};
            for (quint32 k = begin; k < end; ++k)
                m_scratch[fill[m_quad[k]]++] = m_idx[k];
            std::memcpy(m_idx.data() + begin, m_scratch.data() + begin, (end - begin) * sizeof(quint32));
            for (int q = 0; q < 4; ++q)
                size += build(sub[q], starts[q], starts[q] + counts[q]);
        }
        m_nodes[self].size = size;
        return size;
    }

    const std::vector<TreeNode> &nodes() const { return m_nodes; }
    const std::vector<quint32> &order() const { return m_idx; }

private:
    const Ov2PointList &m_list;
    std::vector<quint32> m_idx, m_scratch;
    std::vector<quint8> m_quad;
    std::vector<TreeNode> m_nodes;
};

inline char *put32(char *d, qint64 v)
{
    const quint32 u = quint32(qint32(v));
    d[0] = char(u);
    d[1] = char(u >> 8);
    d[2] = char(u >> 16);
    d[3] = char(u >> 24);
    return d + 4;
}

// Builds the tree and streams the file's bytes to `out`. Returns the total size.
qint64 emitOv2(const Ov2PointList &list, IProgress *progress, ChunkedOut &out)
{
    if (list.empty())
        throw KorvixError(QCoreApplication::translate("Ov2", "There is no POI to save"));
    if (list.size() >= size_t(std::numeric_limits<qint32>::max()))
        throw KorvixError(QCoreApplication::translate("Ov2", "Too many POIs for one file"));
    const int rows = int(list.size());
    if (progress) {
        progress->SetStatus(QCoreApplication::translate("Ov2", "Save POI file"));
        progress->ShowProgress(QCoreApplication::translate("Ov2", "Calculating main skipper record"), 1, rows, 0);
    }
    const AreaRect main = mainRect(list);
    TreeBuilder tree(list);
    const qint64 total = tree.build(main, 0, quint32(list.size()));
    if (total > std::numeric_limits<qint32>::max())
        throw KorvixError(QCoreApplication::translate("Ov2", "The POI file would exceed 2 GB"));

    const std::vector<quint32> &order = tree.order();
    ProgressTicker ticker(progress);
    QElapsedTimer clock;
    clock.start();
    int written = 0;
    for (const TreeNode &node : tree.nodes()) {
        char *d = out.take(size_t(kSkipperSize));
        *d++ = 1;
        d = put32(d, node.size);
        d = put32(d, node.rect.east);
        d = put32(d, node.rect.north);
        d = put32(d, node.rect.west);
        d = put32(d, node.rect.south);
        if (!node.leaf)
            continue;
        if (progress && clock.elapsed() >= 30) {
            // The leaf being written, but only as often as the progress is shown.
            progress->SetStatus(QCoreApplication::translate("Ov2", "Writing [%1,%2,%3,%4]")
                                    .arg(node.rect.west)
                                    .arg(node.rect.north)
                                    .arg(node.rect.east)
                                    .arg(node.rect.south));
            ticker.report(written);
            clock.restart();
        }
        for (quint32 k = node.begin; k < node.end; ++k) {
            const auto &p = list[order[k]];
            const qint64 size = list.recordSize(p);
            d = out.take(size_t(size));
            *d++ = 2;
            d = put32(d, size);
            d = put32(d, p.lon);
            d = put32(d, p.lat);
            if (p.descLen) {
                std::memcpy(d, list.description(p).data(), p.descLen);
                d += p.descLen;
            } else {
                *d++ = '?';
            }
            *d = 0;
        }
        written += int(node.end - node.begin);
    }
    return total;
}

} // namespace

QByteArray buildOv2(const Ov2PointList &list, IProgress *progress)
{
    QByteArray bytes;
    try {
        bytes = ChunkedOut::collect([&](ChunkedOut &out) { emitOv2(list, progress, out); });
    } catch (...) {
        if (progress)
            progress->SetStatus(QString());
        throw;
    }
    if (progress)
        progress->SetStatus(QString());
    return bytes;
}

void SaveOV2(const QString &fileName, const Ov2PointList &list, IProgress *progress)
{
    // The old file is replaced only once the new one is complete.
    try {
        if (list.empty())
            throw KorvixError(QCoreApplication::translate("Ov2", "There is no POI to save"));
        const QString error =
            AtomicFile::writeStreamed(fileName, [&](ChunkedOut &out) { emitOv2(list, progress, out); });
        // The window shows this text alone: the file goes in front of the system's reason.
        if (!error.isEmpty())
            throw KorvixError(fileName + QStringLiteral(": ") + error);
    } catch (...) {
        if (progress)
            progress->SetStatus(QString());
        throw;
    }
    if (progress)
        progress->SetStatus(QString());
}
