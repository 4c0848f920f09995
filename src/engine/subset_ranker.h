#pragma once

#include "core/column.h"

#include <QtGlobal>

#include <array>
#include <bit>

namespace ottavario {

// Ranks the k-subsets of columns whose numbers come from a fixed universe of
// at most 32 numbers: the combinatorial number system over the universe's
// numbers renumbered 0 to D-1, so the ranks of the k-subsets run from 0 to
// C(D, k) - 1. Numbers of a column outside the universe are ignored.
class SubsetRanker {
public:
    // `subsetSize` is the k of subsetCount() and anySubset().
    explicit SubsetRanker(ColumnMask universe, int subsetSize = 0);

    int subsetSize() const { return m_subsetSize; }
    // C(D, k) for the ranker's own k.
    quint64 subsetCount() const { return m_binomial[m_size][m_subsetSize]; }
    // C(D, k), k from 0 to 8.
    quint32 count(int k) const { return m_binomial[m_size][k]; }

    // Calls visit(rank, subset) for every subset of the ranker's size of the
    // column, with the subset as a mask; stops at the first call that returns
    // true and then returns true itself.
    template <typename Visit> bool anySubset(ColumnMask column, Visit&& visit) const
    {
        return anySubsetOf(column, m_subsetSize, visit);
    }

    // The same for subsets of k numbers, k from 0 to 8.
    template <typename Visit> bool anySubsetOf(ColumnMask column, int k, Visit&& visit) const
    {
        Walk walk;
        for (ColumnMask m = column & m_universe; m; m &= m - 1) {
            walk.places[walk.size] = m_place[std::countr_zero(m)];
            walk.bits[walk.size++] = m & (~m + 1);
        }
        switch (k) {
        case 0:
            return visit(quint32(0), ColumnMask(0));
        case 1:
            return step<0, 1>(walk, 0, 0, 0, visit);
        case 2:
            return step<0, 2>(walk, 0, 0, 0, visit);
        case 3:
            return step<0, 3>(walk, 0, 0, 0, visit);
        case 4:
            return step<0, 4>(walk, 0, 0, 0, visit);
        case 5:
            return step<0, 5>(walk, 0, 0, 0, visit);
        case 6:
            return step<0, 6>(walk, 0, 0, 0, visit);
        case 7:
            return step<0, 7>(walk, 0, 0, 0, visit);
        default:
            return step<0, 8>(walk, 0, 0, 0, visit);
        }
    }

    // Calls visit(rank, subset) for every k-subset of the column.
    template <typename Visit> void forEachSubset(ColumnMask column, int k, Visit&& visit) const
    {
        anySubsetOf(column, k, [&](quint32 rank, ColumnMask subset) {
            visit(rank, subset);
            return false;
        });
    }

private:
    // Only the first `size` places are ever read: left uninitialised, since
    // clearing them would cost more than the walk itself.
    struct Walk {
        std::array<int, 32> places;
        std::array<ColumnMask, 32> bits;
        int size = 0;
    };

    // Slot s of the subset holding the place x adds C(x, s + 1); the prefix
    // sums are shared by every subset that starts alike.
    template <int Slot, int Size, typename Visit>
    bool step(const Walk& walk, int from, quint32 rank, ColumnMask subset, Visit& visit) const
    {
        if constexpr (Slot == Size) {
            return visit(rank, subset);
        } else {
            for (int p = from; p <= walk.size - (Size - Slot); ++p)
                if (step<Slot + 1, Size>(walk, p + 1, rank + m_binomial[walk.places[p]][Slot + 1],
                        subset | walk.bits[p], visit))
                    return true;
            return false;
        }
    }

    ColumnMask m_universe = 0;
    int m_subsetSize = 0;
    int m_size = 0; // D
    std::array<int, 32> m_place {}; // bit of a number -> its place in the universe
    std::array<std::array<quint32, kColumnSize + 1>, 33> m_binomial {}; // C(x, k)
};

} // namespace ottavario
