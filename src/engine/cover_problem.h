#pragma once

#include "core/column.h"
#include "subset_ranker.h"

#include <QtGlobal>

#include <array>
#include <span>
#include <utility>
#include <vector>

namespace ottavario {

ColumnMask universeOf(std::span<const ColumnMask> columns);

// Each different set once, in the order of its first appearance.
std::vector<ColumnMask> distinctInOrder(std::span<const ColumnMask> columns);

qint64 binomial(int n, int k);

// Steps of the gain of one column: look-ups through its k-subsets for
// t <= k < n, a walk through them costing about 16 look-ups more.
qint64 gainSteps(int size, int threshold);

// Distinct columns of one size n and a threshold t with 0 < t < n: column
// c covers column d when they share t or more numbers. The columns that
// hold a t-subset are listed under its rank, so the columns c covers are
// found by walking the lists of its C(n, t) subsets.
class CoverProblem {
public:
    CoverProblem(std::vector<ColumnMask> columns, int threshold);

    int count() const { return static_cast<int>(m_columns.size()); }
    ColumnMask column(int i) const { return m_columns[static_cast<size_t>(i)]; }
    const std::vector<ColumnMask>& columns() const { return m_columns; }
    int threshold() const { return m_threshold; }
    int columnSize() const { return m_size; }
    const SubsetRanker& ranker() const { return m_ranker; }
    qint64 coefficient(int k) const { return m_coefficient[static_cast<size_t>(k)]; }
    quint32 mostPerSubset() const { return m_mostPerSubset; }

    // The index of a column, -1 when it is not one of them.
    int indexOf(ColumnMask column) const;
    // The indices of columns that all are among them; empty when one is not.
    std::vector<int> indicesOf(std::span<const ColumnMask> columns) const;

    // Calls visit(d) once for every column d that c covers, c included;
    // returns the list entries walked.
    template <typename Visit> qint64 forCovered(int c, Visit&& visit) const
    {
        const ColumnMask mc = column(c);
        qint64 walked = 0;
        m_ranker.forEachSubset(mc, m_threshold, [&](quint32 rank, ColumnMask subset) {
            const quint32 end = m_offsets[rank + 1];
            walked += end - m_offsets[rank];
            // Two columns sharing j numbers share C(j, t) subsets: the one
            // of their t lowest common numbers speaks for the pair, so no
            // other common number may lie below its highest.
            const ColumnMask below = (ColumnMask(2) << (31 - std::countl_zero(subset))) - 1;
            const ColumnMask outside = mc & ~subset & below;
            for (quint32 i = m_offsets[rank]; i < end; ++i) {
                const int d = m_members[i];
                if ((m_columns[static_cast<size_t>(d)] & outside) == 0)
                    visit(d);
            }
        });
        return walked;
    }

private:
    std::vector<ColumnMask> m_columns;
    int m_threshold;
    int m_size;
    SubsetRanker m_ranker;
    std::vector<quint32> m_offsets;
    std::vector<int> m_members;
    quint32 m_mostPerSubset = 0;
    std::array<qint64, kColumnSize + 1> m_coefficient {};
    std::vector<std::pair<ColumnMask, int>> m_sorted; // column, index
};

} // namespace ottavario
