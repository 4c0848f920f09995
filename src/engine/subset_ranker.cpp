#include "subset_ranker.h"

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
    for (int bit = 0; bit < 32; ++bit)
        if (universe >> bit & 1)
            m_place[bit] = m_size++;
}

} // namespace ottavario
