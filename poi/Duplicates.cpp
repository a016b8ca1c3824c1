#include "poi/Duplicates.h"

#include "grid/RBParamsTable.h"
#include "poi/Ov2Units.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using GreatCircle::EarthRadius;
constexpr double Rad = std::numbers::pi / 180.0;

// Open addressing from cell key to its range in the sorted row list.
class CellTable {
public:
    struct Range {
        quint32 begin = 0, end = 0;
    };

    explicit CellTable(size_t cells)
    {
        size_t cap = 16;
        while (cap < cells * 2)
            cap <<= 1;
        m_mask = cap - 1;
        m_keys.assign(cap, Empty);
        m_ranges.resize(cap);
        // Most neighbour cells are empty: a small bit set (about a byte per cell,
        // so it stays in cache) answers those without touching the table.
        size_t bits = 1 << 16;
        while (bits < cells * 8)
            bits <<= 1;
        m_bitMask = bits - 1;
        m_bits.assign(bits / 64, 0);
    }
    void insert(quint64 key, Range r)
    {
        size_t i = slot(key);
        while (m_keys[i] != Empty)
            i = (i + 1) & m_mask;
        m_keys[i] = key;
        m_ranges[i] = r;
        const size_t b = bit(key);
        m_bits[b >> 6] |= quint64(1) << (b & 63);
    }
    const Range *find(quint64 key) const
    {
        const size_t b = bit(key);
        if (!(m_bits[b >> 6] & (quint64(1) << (b & 63))))
            return nullptr;
        for (size_t i = slot(key);; i = (i + 1) & m_mask) {
            if (m_keys[i] == key)
                return &m_ranges[i];
            if (m_keys[i] == Empty)
                return nullptr;
        }
    }

private:
    static constexpr quint64 Empty = ~quint64(0);
    size_t slot(quint64 key) const
    {
        key ^= key >> 31;
        key *= 0x7fb5d329728ea185ULL;
        key ^= key >> 27;
        key *= 0x81dadef4bc2dd44dULL;
        key ^= key >> 33;
        return size_t(key) & m_mask;
    }
    size_t bit(quint64 key) const { return size_t((key * 0x9E3779B97F4A7C15ULL) >> 20) & m_bitMask; }
    size_t m_mask = 0;
    size_t m_bitMask = 0;
    std::vector<quint64> m_bits;
    std::vector<quint64> m_keys;
    std::vector<Range> m_ranges;
};

constexpr int AxisBits = 21;
constexpr double MinCell = 2.0 / double(1 << (AxisBits - 1)); // at most 2^20 + 1 cells per axis

bool near(const PoiPoint &a, const PoiPoint &b, double maxDistance)
{
    const double d = GreatCircleDistance(a.lon, a.lat, b.lon, b.lat);
    return d >= 0 && d < maxDistance;
}

void finish(DuplicateResult &r)
{
    for (size_t i = 0; i < r.dupOf.size(); ++i) {
        if (r.dupOf[i] > 0) {
            ++r.duplicateCount;
            r.hasDuplicates[size_t(r.dupOf[i])] = 1;
        }
    }
    for (size_t i = 0; i < r.hasDuplicates.size(); ++i) {
        if (r.hasDuplicates[i]) {
            r.firstGroupRow = int(i);
            break;
        }
    }
}

} // namespace

std::vector<PoiPoint> poiRowPoints(const TRBParamsTable &table)
{
    const int n = table.RowCount();
    std::vector<PoiPoint> pts(size_t(std::max(n, 0)));
    for (int r = 1; r < n; ++r) {
        const TRBParams &row = table.Row(r);
        pts[size_t(r)] = {double(parseOv2Integer(row.FieldView(1)).value_or(0)) / 100000.0,
                          double(parseOv2Integer(row.FieldView(2)).value_or(0)) / 100000.0};
    }
    return pts;
}

DuplicateResult findDuplicatesPairwise(const std::vector<PoiPoint> &points, double maxDistance,
                                       const DuplicateStep &step)
{
    DuplicateResult r;
    const int n = int(points.size());
    r.dupOf.assign(points.size(), 0);
    r.hasDuplicates.assign(points.size(), 0);
    std::vector<char> marked(points.size(), 0); // the 0x40 bit of column 3
    unsigned ticks = 0;
    for (int a = 1; a <= n - 2 && !r.cancelled; ++a) {
        bool group = false;
        for (int b = a + 1; b <= n - 1; ++b) {
            if (!marked[size_t(b)] && near(points[size_t(a)], points[size_t(b)], maxDistance)) {
                marked[size_t(b)] = 1;
                r.dupOf[size_t(b)] = a;
                group = true;
            }
            if (step && (++ticks & 1023) == 0 && step(a)) {
                r.cancelled = true;
                break;
            }
        }
        if (group)
            marked[size_t(a)] = 1;
    }
    finish(r);
    return r;
}

DuplicateResult findDuplicates(const std::vector<PoiPoint> &points, double maxDistance, const DuplicateStep &step)
{
    DuplicateResult r;
    const size_t n = points.size();
    r.dupOf.assign(n, 0);
    r.hasDuplicates.assign(n, 0);
    if (n < 3 || !(maxDistance > 0)) // also NaN: nothing is near
        return r;

    // Points as unit vectors: the distance formula is the arc cosine of their dot
    // product for any latitude and longitude (even beyond +-90 / +-180), so nearness
    // needs no care at the poles or the date line. A pair the formula puts within
    // the distance has a chord of at most the arc plus the formula's rounding (well
    // under a metre near zero, where the arc cosine is steepest): `reach` adds a
    // margin for it. Cells are twice the reach, so each point needs its own cell and
    // at most one neighbour per axis, on the side of the cell it lies in.
    const double reach = (maxDistance * 1.001 + 2.0) / EarthRadius;
    const double reach2 = reach * reach;
    const double cell = std::max(2.0 * reach, MinCell);
    struct Vec {
        double x, y, z;
    };
    std::vector<Vec> vec(n);
    std::vector<std::pair<quint64, quint32>> order;
    order.reserve(n - 1);
    auto axis = [&](double v) { return quint64(std::clamp(std::floor((v + 1.0) / cell), 0.0, double((1 << AxisBits) - 2))); };
    for (size_t i = 1; i < n; ++i) {
        const double f = points[i].lat * Rad, l = points[i].lon * Rad;
        const double cf = std::cos(f);
        Vec v{cf * std::cos(l), cf * std::sin(l), std::sin(f)};
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
            v = {0, 0, 0}; // cannot happen for the lists' integers; kept apart anyway
        vec[i] = v;
        order.emplace_back((axis(v.x) << (2 * AxisBits)) | (axis(v.y) << AxisBits) | axis(v.z), quint32(i));
    }
    // Sorted by cell, rows ascending inside each: the walk below then reads each
    // cell's points from one stretch of memory.
    std::sort(order.begin(), order.end());
    const size_t m = order.size();
    std::vector<quint32> rows(m);
    std::vector<Vec> svec(m);
    size_t cells = 0;
    for (size_t i = 0; i < m; ++i) {
        rows[i] = order[i].second;
        svec[i] = vec[order[i].second];
        if (i == 0 || order[i].first != order[i - 1].first)
            ++cells;
    }
    vec.clear();
    vec.shrink_to_fit();
    CellTable table(cells);
    std::vector<quint64> cellKeys;
    std::vector<CellTable::Range> cellRanges;
    cellKeys.reserve(cells);
    cellRanges.reserve(cells);
    for (size_t i = 0; i < m;) {
        size_t j = i + 1;
        while (j < m && order[j].first == order[i].first)
            ++j;
        table.insert(order[i].first, {quint32(i), quint32(j)});
        cellKeys.push_back(order[i].first);
        cellRanges.push_back({quint32(i), quint32(j)});
        i = j;
    }
    order.clear();
    order.shrink_to_fit();

    const quint64 axisMask = (quint64(1) << AxisBits) - 1;
    struct Cached {
        quint64 key;
        const CellTable::Range *range;
    };
    Cached cache[27];
    size_t done = 0;
    for (size_t ci = 0; ci < cellKeys.size() && !r.cancelled; ++ci) {
        const quint64 key = cellKeys[ci];
        const CellTable::Range own = cellRanges[ci];
        int cached = 0;
        const qint64 c[3] = {qint64(key >> (2 * AxisBits)), qint64((key >> AxisBits) & axisMask), qint64(key & axisMask)};
        for (quint32 p = own.begin; p < own.end; ++p, ++done) {
            if (step && (done & 4095) == 4095 && step(int(done * (n - 1) / m) + 1)) {
                r.cancelled = true;
                break;
            }
            const quint32 b = rows[p];
            const Vec &vb = svec[p];
            // The neighbour on each axis: the side of the cell the point lies in.
            const double pos[3] = {vb.x, vb.y, vb.z};
            qint64 side[3];
            double gap[3]; // distance to that side's boundary
            for (int k = 0; k < 3; ++k) {
                const double off = pos[k] - (double(c[k]) * cell - 1.0);
                if (off < cell / 2) {
                    side[k] = -1;
                    gap[k] = std::max(off, 0.0);
                } else {
                    side[k] = 1;
                    gap[k] = std::max(cell - off, 0.0);
                }
            }
            quint32 best = b;
            auto scan = [&](quint32 from, quint32 to) {
                for (quint32 i = from; i < to; ++i) {
                    const quint32 a = rows[i];
                    if (a >= best)
                        break;
                    const Vec &va = svec[i];
                    const double dx = va.x - vb.x, dy = va.y - vb.y, dz = va.z - vb.z;
                    if (dx * dx + dy * dy + dz * dz > reach2)
                        continue;
                    if (near(points[a], points[b], maxDistance)) {
                        best = a;
                        break;
                    }
                }
            };
            scan(own.begin, p);
            for (int mask = 1; mask < 8; ++mask) {
                double g2 = 0;
                qint64 q[3];
                bool inside = true;
                for (int k = 0; k < 3; ++k) {
                    if (mask & (1 << k)) {
                        q[k] = c[k] + side[k];
                        g2 += gap[k] * gap[k];
                        if (q[k] < 0 || q[k] > qint64(axisMask))
                            inside = false;
                    } else {
                        q[k] = c[k];
                    }
                }
                if (!inside || g2 > reach2 * 1.0000001)
                    continue;
                const quint64 nk = (quint64(q[0]) << (2 * AxisBits)) | (quint64(q[1]) << AxisBits) | quint64(q[2]);
                const CellTable::Range *range = nullptr;
                int hit = 0;
                while (hit < cached && cache[hit].key != nk)
                    ++hit;
                if (hit < cached) {
                    range = cache[hit].range;
                } else {
                    range = table.find(nk);
                    if (cached < 27)
                        cache[cached++] = {nk, range};
                }
                if (range)
                    scan(range->begin, range->end);
            }
            if (best < b)
                r.dupOf[b] = int(best);
        }
    }
    finish(r);
    return r;
}

void clearPaletteBits(TRBParamsTable &table)
{
    for (int row = 1; row < table.RowCount(); ++row)
        for (int col = 1; col < table.ColCount(); ++col)
            table.SetFlags(col, row, table.Flags(col, row) & ~quint32(0xFF));
}

void applyDuplicateMarks(TRBParamsTable &table, const DuplicateResult &result)
{
    const int rows = std::min(table.RowCount(), int(result.dupOf.size()));
    auto mark = [&](int row, quint32 bits) {
        for (int col = 1; col < table.ColCount(); ++col)
            table.SetFlags(col, row, table.Flags(col, row) | bits);
    };
    for (int row = 1; row < rows; ++row) {
        if (result.dupOf[size_t(row)] > 0) {
            mark(row, 0xC0);
            table.SetCell(4, row, duplicateReferenceText(result.dupOf[size_t(row)]));
        }
    }
    for (int row = 1; row < rows; ++row)
        if (result.hasDuplicates[size_t(row)])
            mark(row, 0x40);
}
