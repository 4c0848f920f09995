#include "reduction.h"

#include <algorithm>

namespace ottavario {

SubsetRanker::SubsetRanker(ColumnMask universe, int subsetSize)
    : m_universe(universe)
    , m_subsetSize(std::clamp(subsetSize, 0, kColumnSize))
{
    for (int x = 0; x <= 32; ++x) {
        m_binomial[x][0] = 1;
        for (int k = 1; k <= kColumnSize; ++k)
            m_binomial[x][k] = x == 0 ? 0 : m_binomial[x - 1][k - 1] + m_binomial[x - 1][k];
    }
    int place = 0;
    for (int bit = 0; bit < 32; ++bit)
        if (universe & (ColumnMask(1) << bit))
            m_place[bit] = place++;
    m_subsetCount = m_binomial[place][m_subsetSize];
}

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
    bool trivialThreshold(std::span<const ColumnMask> developed, int threshold,
        std::vector<ColumnMask>& kept)
    {
        if (threshold > kColumnSize)
            kept.assign(developed.begin(), developed.end());
        else if (threshold <= 0 && !developed.empty())
            kept.assign(developed.begin(), developed.begin() + 1);
        else
            return developed.empty();
        return true;
    }
}

std::vector<ColumnMask> reduceColumns(std::span<const ColumnMask> developed, int threshold,
    const ReductionProgress& progress)
{
    std::vector<ColumnMask> kept;
    if (trivialThreshold(developed, threshold, kept)) {
        if (progress)
            progress(static_cast<qsizetype>(developed.size()));
        return kept;
    }

    ColumnMask universe = 0;
    for (ColumnMask m : developed)
        universe |= m;
    const SubsetRanker ranker(universe, threshold);
    Bitmap marked(ranker.subsetCount());

    const qsizetype n = static_cast<qsizetype>(developed.size());
    for (qsizetype c = 0; c < n; ++c) {
        const ColumnMask candidate = developed[static_cast<size_t>(c)];
        // Sharing t numbers with a kept column is holding one of its t-subsets.
        const bool close
            = ranker.anySubset(candidate, [&](quint32 rank) { return marked.test(rank); });
        if (!close) {
            kept.push_back(candidate);
            ranker.anySubset(candidate, [&](quint32 rank) {
                marked.set(rank);
                return false;
            });
        }
        if (progress && (c + 1) % kProgressEvery == 0)
            progress(c + 1);
    }
    if (progress)
        progress(n);
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
