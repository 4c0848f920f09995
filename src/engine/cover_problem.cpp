#include "cover_problem.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <numeric>

namespace ottavario {

ColumnMask universeOf(std::span<const ColumnMask> columns)
{
    return std::accumulate(columns.begin(), columns.end(), ColumnMask(0), std::bit_or<>());
}

std::vector<ColumnMask> distinctInOrder(std::span<const ColumnMask> columns)
{
    // Open addressing on a table at least twice as large as the input;
    // the empty set is told apart by a flag of its own.
    const int bits = std::max(4, static_cast<int>(std::bit_width(columns.size() * 2)));
    const size_t mask = (size_t(1) << bits) - 1;
    std::vector<ColumnMask> table(mask + 1, 0);
    bool emptySeen = false;
    std::vector<ColumnMask> out;
    for (ColumnMask c : columns) {
        if (c == 0) {
            if (!emptySeen)
                out.push_back(c);
            emptySeen = true;
            continue;
        }
        size_t at = (quint64(c) * 0x9e3779b97f4a7c15ULL) >> (64 - bits);
        while (table[at] != 0 && table[at] != c)
            at = (at + 1) & mask;
        if (table[at] == 0) {
            table[at] = c;
            out.push_back(c);
        }
    }
    return out;
}

qint64 binomial(int n, int k)
{
    qint64 c = 1;
    for (int i = 0; i < k; ++i)
        c = c * (n - i) / (i + 1);
    return c;
}

qint64 gainSteps(int size, int threshold)
{
    constexpr qint64 kWalkSteps = 16;
    qint64 steps = 0;
    for (int k = threshold; k < size; ++k)
        steps += binomial(size, k) + kWalkSteps;
    return steps;
}

CoverProblem::CoverProblem(std::vector<ColumnMask> columns, int threshold)
    : m_columns(std::move(columns))
    , m_threshold(threshold)
    , m_size(std::popcount(m_columns.front()))
    , m_ranker(universeOf(m_columns))
{
    m_offsets.assign(static_cast<size_t>(m_ranker.count(m_threshold)) + 1, 0);
    for (ColumnMask m : m_columns)
        m_ranker.forEachSubset(
            m, m_threshold, [&](quint32 rank, ColumnMask) { ++m_offsets[rank + 1]; });
    for (size_t i = 1; i < m_offsets.size(); ++i) {
        m_mostPerSubset = std::max(m_mostPerSubset, m_offsets[i]);
        m_offsets[i] += m_offsets[i - 1];
    }
    m_members.resize(m_offsets.back());
    std::vector<quint32> fill(m_offsets.begin(), m_offsets.end() - 1);
    for (int d = 0; d < count(); ++d)
        m_ranker.forEachSubset(m_columns[static_cast<size_t>(d)], m_threshold,
            [&](quint32 rank, ColumnMask) { m_members[fill[rank]++] = d; });

    // [j >= t] = sum over k = t..j of a_k C(j, k) with a_k = (-1)^(k-t) C(k-1, t-1):
    // counts over k-subsets give how many columns share t or more numbers.
    for (int k = m_threshold; k <= m_size; ++k) {
        qint64 c = 1;
        for (int i = 0; i < m_threshold - 1; ++i)
            c = c * (k - 1 - i) / (i + 1);
        m_coefficient[static_cast<size_t>(k)] = (k - m_threshold) % 2 == 0 ? c : -c;
    }

    m_sorted.reserve(m_columns.size());
    for (int i = 0; i < count(); ++i)
        m_sorted.emplace_back(column(i), i);
    std::sort(m_sorted.begin(), m_sorted.end());
}

int CoverProblem::indexOf(ColumnMask column) const
{
    const auto it = std::lower_bound(
        m_sorted.begin(), m_sorted.end(), std::pair<ColumnMask, int>(column, INT_MIN));
    return it == m_sorted.end() || it->first != column ? -1 : it->second;
}

std::vector<int> CoverProblem::indicesOf(std::span<const ColumnMask> columns) const
{
    std::vector<int> out;
    out.reserve(columns.size());
    for (ColumnMask m : columns) {
        const int i = indexOf(m);
        if (i < 0)
            return {};
        out.push_back(i);
    }
    return out;
}

} // namespace ottavario
