#include "reduction.h"

#include "mask_sort.h"

#include <algorithm>

namespace ottavario {

namespace {
    constexpr qsizetype kProgressEvery = 4096;

    class Bitmap {
    public:
        explicit Bitmap(quint64 size)
            : m_words(static_cast<size_t>((size + 63) / 64))
        {
        }
        bool test(quint32 i) const { return m_words[i >> 6] >> (i & 63) & 1; }
        void set(quint32 i) { m_words[i >> 6] |= quint64(1) << (i & 63); }

    private:
        std::vector<quint64> m_words;
    };

    // Nothing shares more than 8 numbers with another column, and anything
    // shares at least 0.
    bool trivialThreshold(
        std::span<const ColumnMask> developed, int threshold, std::vector<ColumnMask>& kept)
    {
        if (threshold > kColumnSize)
            kept.assign(developed.begin(), developed.end());
        else if (threshold <= 0 && !developed.empty())
            kept.assign(developed.begin(), developed.begin() + 1);
        else
            return developed.empty();
        return true;
    }

    class ProgressTicker {
    public:
        explicit ProgressTicker(const ReductionProgress& progress)
            : m_progress(progress)
        {
        }
        void done(qsizetype candidates)
        {
            if (m_progress && candidates % kProgressEvery == 0)
                m_progress(candidates);
        }
        void finished(qsizetype candidates)
        {
            if (m_progress)
                m_progress(candidates);
        }

    private:
        const ReductionProgress& m_progress;
    };

    // t = 8: a column is close only to the same set, so one mark per column.
    void keepDistinct(std::span<const ColumnMask> developed, const SubsetRanker& ranker,
        Bitmap& marked, ProgressTicker& ticker, std::vector<ColumnMask>& kept)
    {
        qsizetype done = 0;
        for (ColumnMask candidate : developed) {
            const bool seen = ranker.anySubset(candidate, [&](quint32 rank, ColumnMask) {
                const bool wasMarked = marked.test(rank);
                marked.set(rank);
                return wasMarked;
            });
            if (!seen)
                kept.push_back(candidate);
            ticker.done(++done);
        }
    }

    // t = 8 on columns of 8 numbers: the first of every set of equal columns,
    // found by sorting rather than by a look-up per column. It takes
    // milliseconds, so the progress is told once, at the end.
    void keepFirstOfEach(std::span<const ColumnMask> developed, std::vector<ColumnMask>& kept)
    {
        const size_t n = developed.size();
        std::vector<quint64> byColumn(n);
        for (size_t i = 0; i < n; ++i)
            byColumn[i] = quint64(developed[i]) << 32 | i;
        sortByKey(byColumn, [](quint64 item) { return quint32(item >> 32); });
        std::vector<bool> first(n);
        for (size_t i = 0; i < n; ++i)
            if (i == 0 || byColumn[i] >> 32 != byColumn[i - 1] >> 32)
                first[quint32(byColumn[i])] = true;
        for (size_t i = 0; i < n; ++i)
            if (first[i])
                kept.push_back(developed[i]);
    }

    void keepApart(std::span<const ColumnMask> developed, const SubsetRanker& ranker,
        Bitmap& marked, ProgressTicker& ticker, std::vector<ColumnMask>& kept)
    {
        // Marks are never taken back, so a t-subset found marked once rejects
        // every later candidate holding it. Neighbours in development order
        // share most of their numbers: trying the last few such subsets first
        // settles most rejections with a handful of ANDs.
        std::array<ColumnMask, 8> recentHits {};
        size_t nextHit = 0;
        qsizetype done = 0;
        for (ColumnMask candidate : developed) {
            bool close = std::any_of(recentHits.begin(), recentHits.end(),
                [&](ColumnMask hit) { return hit && (hit & ~candidate) == 0; });
            // Sharing t numbers with a kept column is holding one of its t-subsets.
            if (!close)
                close = ranker.anySubset(candidate, [&](quint32 rank, ColumnMask subset) {
                    if (!marked.test(rank))
                        return false;
                    recentHits[nextHit++ % recentHits.size()] = subset;
                    return true;
                });
            if (!close) {
                kept.push_back(candidate);
                ranker.anySubset(candidate, [&](quint32 rank, ColumnMask) {
                    marked.set(rank);
                    return false;
                });
            }
            ticker.done(++done);
        }
    }
}

std::vector<ColumnMask> reduceColumns(
    std::span<const ColumnMask> developed, int threshold, const ReductionProgress& progress)
{
    ProgressTicker ticker(progress);
    std::vector<ColumnMask> kept;
    if (!trivialThreshold(developed, threshold, kept)) {
        if (threshold == kColumnSize && allColumnsOfEight(developed)) {
            keepFirstOfEach(developed, kept);
        } else {
            ColumnMask universe = 0;
            for (ColumnMask m : developed)
                universe |= m;
            const SubsetRanker ranker(universe, threshold);
            Bitmap marked(ranker.subsetCount());
            if (threshold == kColumnSize)
                keepDistinct(developed, ranker, marked, ticker, kept);
            else
                keepApart(developed, ranker, marked, ticker, kept);
        }
    }
    ticker.finished(static_cast<qsizetype>(developed.size()));
    return kept;
}

std::vector<ColumnMask> reduceColumnsByScan(std::span<const ColumnMask> developed, int threshold)
{
    std::vector<ColumnMask> kept;
    for (ColumnMask candidate : developed) {
        const bool close = std::any_of(kept.begin(), kept.end(),
            [&](ColumnMask k) { return commonNumbers(k, candidate) >= threshold; });
        if (!close)
            kept.push_back(candidate);
    }
    return kept;
}

} // namespace ottavario
