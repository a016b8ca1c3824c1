// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Duplicates.h"

#include "core/RBParamsTable.h"
#include "core/Ov2Units.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

using GreatCircle::EarthRadius;
constexpr double Rad = std::numbers::pi / 180.0;

// Open addressing from cell key to cell number.
class CellTable {
public:
    explicit CellTable(size_t cells)
    {
        size_t cap = 16;
        while (cap < cells * 2)
            cap <<= 1;
        m_mask = cap - 1;
        m_keys.assign(cap, Empty);
        m_cells.resize(cap);
        // Most neighbour cells are empty: a small bit set (about a byte per cell,
        // so it stays in cache) answers those without touching the table.
        size_t bits = 1 << 16;
        while (bits < cells * 8)
            bits <<= 1;
        m_bitMask = bits - 1;
        m_bits.assign(bits / 64, 0);
    }
    void insert(quint64 key, quint32 cell)
    {
        size_t i = slot(key);
        while (m_keys[i] != Empty)
            i = (i + 1) & m_mask;
        m_keys[i] = key;
        m_cells[i] = cell;
        const size_t b = bit(key);
        m_bits[b >> 6] |= quint64(1) << (b & 63);
    }
    // The cell number, or -1.
    qint64 find(quint64 key) const
    {
        const size_t b = bit(key);
        if (!(m_bits[b >> 6] & (quint64(1) << (b & 63))))
            return -1;
        for (size_t i = slot(key);; i = (i + 1) & m_mask) {
            if (m_keys[i] == key)
                return m_cells[i];
            if (m_keys[i] == Empty)
                return -1;
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
    std::vector<quint32> m_cells;
};

constexpr int AxisBits = 21;
constexpr double MinCell = 2.0 / double(1 << (AxisBits - 1)); // at most 2^20 + 1 cells per axis

bool near(const GeoDegrees &a, const GeoDegrees &b, double maxDistance)
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

std::vector<GeoDegrees> poiRowPoints(const TRBParamsTable &table)
{
    const int n = table.RowCount();
    std::vector<GeoDegrees> pts(size_t(std::max(n, 0)));
    for (int r = 1; r < n; ++r) {
        const TRBParams &row = table.Row(r);
        pts[size_t(r)] = {double(parseOv2Integer(row.FieldView(1)).value_or(0)) / 100000.0,
                          double(parseOv2Integer(row.FieldView(2)).value_or(0)) / 100000.0};
    }
    return pts;
}

DuplicateResult findDuplicatesPairwise(const std::vector<GeoDegrees> &points, double maxDistance,
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
            ++r.examined;
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

DuplicateResult findDuplicates(const std::vector<GeoDegrees> &points, double maxDistance, const DuplicateStep &step)
{
    DuplicateResult r;
    const size_t n = points.size();
    r.dupOf.assign(n, 0);
    r.hasDuplicates.assign(n, 0);
    if (n < 3 || !(maxDistance > 0)) // also NaN: nothing is near
        return r;

    // Points as unit vectors: the distance formula's cosine is their dot product for
    // any latitude and longitude (even beyond +-90 / +-180), so nearness needs no
    // care at the poles or the date line, and a pair the formula puts within the
    // distance has a squared chord 2 - 2 cos of at most that of the distance plus the
    // rounding of the cosine and of the vectors (a few 1e-16; `reach2` allows 2e-14,
    // about a centimetre at 50 m). A looser bound would send every row just beyond
    // the distance through the formula's trigonometry again and again.
    //
    // The walk goes the pairwise loop's way: references A in list order, each taking
    // every later row within the distance that no earlier reference took. A row
    // leaves its cell's list once it is taken or has been a reference, as neither
    // can be taken again; so a dense cluster is paid for once, not once per member.
    // Cells are twice the reach while the list is sparse: a reference then looks
    // into at most 2 cells per axis. Where the rows are dense (many to such a cell)
    // they are a quarter of that, so the rows walked without being taken, those of
    // the neighbour cells beyond the distance, stay few even on a grid far denser
    // than the distance.
    const double half = std::min(maxDistance * (1 + 1e-9) / EarthRadius, std::numbers::pi) / 2;
    const double reach2 = 4 * std::sin(half) * std::sin(half) + 2e-14;
    const double reach = std::sqrt(reach2);
    const qint64 lastAxis = (qint64(1) << AxisBits) - 2;
    double cell = std::max(2.0 * reach, MinCell);
    auto axis = [&](double v) { return qint64(std::clamp(std::floor((v + 1.0) / cell), 0.0, double(lastAxis))); };
    auto keyOf = [](qint64 x, qint64 y, qint64 z) {
        return (quint64(x) << (2 * AxisBits)) | (quint64(y) << AxisBits) | quint64(z);
    };
    struct Vec {
        double x, y, z;
    };
    std::vector<Vec> vec(n);
    std::vector<std::pair<quint64, quint32>> order;
    order.reserve(n - 1);
    for (size_t i = 1; i < n; ++i) {
        const double f = points[i].lat * Rad, l = points[i].lon * Rad;
        const double cf = std::cos(f);
        Vec v{cf * std::cos(l), cf * std::sin(l), std::sin(f)};
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
            v = {0, 0, 0}; // cannot happen for the lists' integers; kept apart anyway
        vec[i] = v;
        order.emplace_back(keyOf(axis(v.x), axis(v.y), axis(v.z)), quint32(i));
    }
    std::sort(order.begin(), order.end());
    size_t occupied = 0;
    for (size_t i = 0; i < order.size(); ++i)
        occupied += i == 0 || order[i].first != order[i - 1].first;
    const bool fine = order.size() >= 16 * occupied && cell > MinCell;
    if (fine) {
        cell = std::max(reach / 2.0, MinCell);
        for (auto &[key, row] : order)
            key = keyOf(axis(vec[row].x), axis(vec[row].y), axis(vec[row].z));
        std::sort(order.begin(), order.end());
    }
    // Sorted by cell: each cell's rows lie in one stretch [begin, begin + live), the
    // live ones first; `slot` finds a row's place in it.
    const size_t m = order.size();
    std::vector<quint32> rows(m);
    std::vector<Vec> svec(m);
    std::vector<quint32> slot(n, 0);
    std::vector<quint32> cellOf(n, 0);
    std::vector<quint32> begin, live;
    for (size_t i = 0; i < m; ++i) {
        if (i == 0 || order[i].first != order[i - 1].first) {
            begin.push_back(quint32(i));
            live.push_back(0);
        }
        ++live.back();
        const quint32 row = order[i].second;
        rows[i] = row;
        svec[i] = vec[row];
        slot[row] = quint32(i);
        cellOf[row] = quint32(begin.size() - 1);
    }
    CellTable table(begin.size());
    std::vector<quint64> cellKey(begin.size());
    for (size_t c = 0; c < begin.size(); ++c) {
        cellKey[c] = order[begin[c]].first;
        table.insert(cellKey[c], quint32(c));
    }
    order.clear();
    order.shrink_to_fit();

    // Moves the row at `i` behind its cell's live rows.
    auto drop = [&](quint32 c, quint32 i) {
        const quint32 last = begin[c] + --live[c];
        std::swap(rows[i], rows[last]);
        std::swap(svec[i], svec[last]);
        slot[rows[i]] = i;
        slot[rows[last]] = last;
    };

    struct BoxCell {
        quint32 cell;
        qint64 at[3];
    };
    std::vector<BoxCell> boxCells;
    qint64 boxLo[3] = {-1, -1, -1}, boxHi[3] = {-1, -1, -1};
    auto collect = [&](std::vector<BoxCell> &into, const qint64 *lo, const qint64 *hi) {
        for (qint64 x = lo[0]; x <= hi[0]; ++x)
            for (qint64 y = lo[1]; y <= hi[1]; ++y)
                for (qint64 z = lo[2]; z <= hi[2]; ++z)
                    if (const qint64 c = table.find(keyOf(x, y, z)); c >= 0)
                        into.push_back({quint32(c), {x, y, z}});
    };
    // Fine cells: each cell's neighbours within the reach of any of its points,
    // found once for the cell (up to 6 per axis) and kept back to back; a neighbour
    // whose rows are all gone leaves the list for good.
    constexpr quint32 NotYet = ~quint32(0);
    std::vector<quint32> nearStart(fine ? begin.size() : 0, NotYet), nearCount(fine ? begin.size() : 0, 0);
    std::vector<BoxCell> nearCells;
    const quint64 axisMask = (quint64(1) << AxisBits) - 1;
    Vec *const sv = svec.data();
    quint32 *const rw = rows.data();
    qint64 seen = 0;
    // Asked every 1024 references and every 4096 rows compared, so one reference
    // with a huge cluster around it can be stopped too.
    qint64 nextStep = step ? 4096 : std::numeric_limits<qint64>::max();
    for (size_t a = 1; a + 1 < n && !r.cancelled; ++a) {
        if (step && (a & 1023) == 0 && step(int(a))) {
            r.cancelled = true;
            break;
        }
        const quint32 own = cellOf[a];
        if (slot[a] < begin[own] + live[own])
            drop(own, slot[a]);
        const Vec va = vec[a];
        const double pos[3] = {va.x, va.y, va.z};
        BoxCell *list;
        quint32 *count = nullptr;
        quint32 boxCount = 0;
        if (fine) {
            if (nearStart[own] == NotYet) {
                const quint64 key = cellKey[own];
                const qint64 c[3] = {qint64(key >> (2 * AxisBits)), qint64((key >> AxisBits) & axisMask),
                                     qint64(key & axisMask)};
                qint64 lo[3], hi[3];
                // A hair wider than the cell's bounds: they are rounded, its points' cells too.
                for (int k = 0; k < 3; ++k) {
                    lo[k] = axis(double(c[k]) * cell - 1.0 - reach - 1e-12);
                    hi[k] = axis(double(c[k] + 1) * cell - 1.0 + reach + 1e-12);
                }
                nearStart[own] = quint32(nearCells.size());
                collect(nearCells, lo, hi);
                nearCount[own] = quint32(nearCells.size() - nearStart[own]);
            }
            list = nearCells.data() + nearStart[own];
            count = &nearCount[own];
        } else {
            qint64 lo[3], hi[3];
            for (int k = 0; k < 3; ++k) {
                lo[k] = axis(pos[k] - reach);
                hi[k] = axis(pos[k] + reach);
            }
            // The next reference often has the same box and reuses its cells.
            if (!std::equal(lo, lo + 3, boxLo) || !std::equal(hi, hi + 3, boxHi)) {
                std::copy(lo, lo + 3, boxLo);
                std::copy(hi, hi + 3, boxHi);
                boxCells.clear();
                collect(boxCells, lo, hi);
            }
            list = boxCells.data();
            boxCount = quint32(boxCells.size());
            count = &boxCount;
        }
        for (quint32 j = 0; j < *count;) {
            const BoxCell &bc = list[j];
            const quint32 cc = bc.cell;
            if (live[cc] == 0) {
                if (fine)
                    list[j] = list[--*count];
                else
                    ++j;
                continue;
            }
            ++j;
            // Cells whose nearest corner lies beyond the reach hold nothing near.
            double g2 = 0;
            for (int k = 0; k < 3; ++k) {
                const double from = double(bc.at[k]) * cell - 1.0, to = from + cell;
                const double g = pos[k] < from ? from - pos[k] : pos[k] > to ? pos[k] - to : 0.0;
                g2 += g * g;
            }
            if (g2 > reach2 * 1.0000001)
                continue;
            // Locals only in this loop: it is the search's hot spot.
            const quint32 first = begin[cc];
            quint32 end = first + live[cc];
            for (quint32 i = first; i < end;) {
                if (++seen >= nextStep) {
                    nextStep = seen + 4096;
                    if (step(int(a))) {
                        r.cancelled = true;
                        break;
                    }
                }
                const Vec vb = sv[i];
                const double dx = va.x - vb.x, dy = va.y - vb.y, dz = va.z - vb.z;
                if (dx * dx + dy * dy + dz * dz <= reach2 && near(points[a], points[rw[i]], maxDistance)) {
                    // Taken: swapped behind the live rows; another live row now sits at i.
                    const quint32 b = rw[i];
                    r.dupOf[b] = int(a);
                    --end;
                    std::swap(rw[i], rw[end]);
                    std::swap(sv[i], sv[end]);
                    slot[rw[i]] = i;
                    slot[b] = end;
                } else {
                    ++i;
                }
            }
            live[cc] = end - first;
            if (r.cancelled)
                break;
        }
    }
    r.examined = seen;
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
