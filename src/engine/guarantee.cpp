#include "guarantee.h"

#include "reduction.h"

#include <algorithm>
#include <vector>

namespace ottavario {

GuaranteeCheck verifyGuarantee(
    std::span<const ColumnMask> developed, std::span<const ColumnMask> kept, int threshold)
{
    if (developed.empty())
        return {};
    if (kept.empty())
        return { 0 };
    const int t = std::min(threshold, kColumnSize);
    if (t <= 0)
        return {};

    ColumnMask universe = 0;
    for (ColumnMask m : developed)
        universe |= m;
    for (ColumnMask m : kept)
        universe |= m;
    const SubsetRanker ranker(universe, t);
    std::vector<quint64> marked(static_cast<size_t>((ranker.subsetCount() + 63) / 64));
    for (ColumnMask m : kept)
        ranker.anySubset(m, [&](quint32 rank, auto&&...) {
            marked[rank >> 6] |= quint64(1) << (rank & 63);
            return false;
        });

    const qsizetype n = static_cast<qsizetype>(developed.size());
    for (qsizetype i = 0; i < n; ++i) {
        const ColumnMask column = developed[static_cast<size_t>(i)];
        // A column with fewer than t numbers has no t-subset and so no kept neighbour.
        const bool near
            = std::popcount(column) >= t && ranker.anySubset(column, [&](quint32 rank, auto&&...) {
                  return (marked[rank >> 6] >> (rank & 63) & 1) != 0;
              });
        if (!near)
            return { i };
    }
    return {};
}

} // namespace ottavario
