#pragma once

#include "core/column.h"

#include <QtGlobal>

#include <array>
#include <bit>
#include <functional>
#include <span>
#include <vector>

namespace ottavario {

// Ranks the t-subsets of columns whose numbers come from a fixed universe of
// at most 32 numbers: the combinatorial number system over the universe's
// numbers renumbered 0 to D-1, so the ranks run from 0 to C(D, t) - 1.
class SubsetRanker {
public:
    SubsetRanker(ColumnMask universe, int subsetSize);

    int subsetSize() const { return m_subsetSize; }
    // C(D, t): how many t-subsets the universe has.
    quint64 subsetCount() const { return m_subsetCount; }

    // Calls visit(rank, subset) for every t-subset of the column, a column's
    // numbers inside the universe, with the subset as a mask; stops at the
    // first call that returns true and then returns true itself.
    template <typename Visit> bool anySubset(ColumnMask column, Visit&& visit) const
    {
        Walk walk;
        for (ColumnMask m = column & m_universe; m; m &= m - 1) {
            walk.places[walk.size] = m_place[std::countr_zero(m)];
            walk.bits[walk.size++] = m & (~m + 1);
        }
        switch (m_subsetSize) {
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
    quint64 m_subsetCount = 0;
    std::array<int, 32> m_place {}; // bit of a number -> its place in the universe
    std::array<std::array<quint32, kColumnSize + 1>, 33> m_binomial {}; // C(x, k)
};

// Called now and then with the number of candidates looked at so far.
using ReductionProgress = std::function<void(qsizetype candidatesDone)>;

// The greedy reduction: candidates (columns of 8 numbers) in development
// order, each kept unless it shares `threshold` or more numbers with a column
// kept before it. Kept columns come back in the order they were kept. Every
// t-subset of a kept column is marked in a bitmap, so a candidate costs at
// most C(8, t) look-ups whatever the number of columns kept.
std::vector<ColumnMask> reduceColumns(
    std::span<const ColumnMask> developed, int threshold, const ReductionProgress& progress = {});

// The same greedy by comparing each candidate with every kept column; slow,
// plain, the reference the fast one is checked against.
std::vector<ColumnMask> reduceColumnsByScan(std::span<const ColumnMask> developed, int threshold);

} // namespace ottavario
