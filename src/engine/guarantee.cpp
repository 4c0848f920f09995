#include "guarantee.h"

#include "mask_sort.h"
#include "reduction.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ottavario {

namespace {
    // 8 points: every developed column must itself be kept. Both sets sorted
    // and walked side by side.
    GuaranteeCheck verifyAllKept(
        std::span<const ColumnMask> developed, std::span<const ColumnMask> kept)
    {
        std::vector<ColumnMask> sortedKept(kept.begin(), kept.end());
        std::vector<ColumnMask> sortedDeveloped(developed.begin(), developed.end());
        const auto identity = [](ColumnMask m) { return m; };
        sortByKey(sortedKept, identity);
        sortByKey(sortedDeveloped, identity);
        std::vector<ColumnMask> missing;
        auto next = sortedKept.cbegin();
        for (ColumnMask column : sortedDeveloped) {
            while (next != sortedKept.cend() && *next < column)
                ++next;
            if (next == sortedKept.cend() || *next != column)
                missing.push_back(column);
        }
        if (missing.empty())
            return {};
        // missing is sorted: the first developed column it holds.
        for (size_t i = 0; i < developed.size(); ++i)
            if (std::binary_search(missing.begin(), missing.end(), developed[i]))
                return { qsizetype(i) };
        return {};
    }
}

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
    if (t == kColumnSize && allColumnsOfEight(developed) && allColumnsOfEight(kept))
        return verifyAllKept(developed, kept);

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

    // Neighbours in development order share most of their numbers: a t-subset
    // of a kept column found in one column is most often in the next as well,
    // and one AND then settles it.
    std::array<ColumnMask, 8> recentHits {};
    size_t nextHit = 0;
    const qsizetype n = static_cast<qsizetype>(developed.size());
    for (qsizetype i = 0; i < n; ++i) {
        const ColumnMask column = developed[static_cast<size_t>(i)];
        if (std::any_of(recentHits.begin(), recentHits.end(),
                [column](ColumnMask hit) { return hit && (hit & ~column) == 0; }))
            continue;
        // A column with fewer than t numbers has no t-subset and so no kept neighbour.
        const bool near = std::popcount(column) >= t
            && ranker.anySubset(column, [&](quint32 rank, ColumnMask subset) {
                   if ((marked[rank >> 6] >> (rank & 63) & 1) == 0)
                       return false;
                   recentHits[nextHit++ % recentHits.size()] = subset;
                   return true;
               });
        if (!near)
            return { i };
    }
    return {};
}

} // namespace ottavario
