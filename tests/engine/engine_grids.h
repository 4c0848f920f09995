#pragma once

#include "core/grid.h"

#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

namespace ottavario::testing {

// A grid from the texts of its boxes, box 1 first; missing entries stay empty.
inline Grid gridOf(const std::array<QStringList, kBoxes>& boxes)
{
    Grid grid;
    for (int k = 0; k < kBoxes; ++k)
        for (int e = 0; e < boxes[k].size() && e < kEntries; ++e)
            grid.entries[k][e] = boxes[k][e];
    return grid;
}

inline Grid gridOfNumbers(const std::array<std::vector<int>, kBoxes>& boxes)
{
    Grid grid;
    for (int k = 0; k < kBoxes; ++k)
        for (size_t e = 0; e < boxes[k].size() && e < kEntries; ++e)
            grid.entries[k][e] = QString::number(boxes[k][e]);
    return grid;
}

// A random grid of 1 to `most` distinct numbers per box, drawn from a pool of
// numbers small enough to make boxes overlap, in shuffled entry order so that
// development order is not sorted.
inline Grid randomGrid(QRandomGenerator& random, int most)
{
    const int pool = random.bounded(9, 33);
    Grid grid;
    for (int k = 0; k < kBoxes; ++k) {
        const int size = random.bounded(1, most + 1);
        std::set<int> numbers;
        while (static_cast<int>(numbers.size()) < size)
            numbers.insert(random.bounded(1, pool + 1));
        int e = 0;
        for (int n : numbers)
            grid.entries[k][e++] = QString::number(n);
        std::shuffle(grid.entries[k].begin(), grid.entries[k].begin() + size, random);
    }
    return grid;
}

// One number in every box: 3 7 12 15 19 24 28 31, a single column.
inline Grid singles()
{
    return gridOfNumbers({ { { 3 }, { 7 }, { 12 }, { 15 }, { 19 }, { 24 }, { 28 }, { 31 } } });
}

// Every entry of every box filled: 40 numbers, some repeated.
inline Grid fullGrid()
{
    Grid grid;
    for (int k = 0; k < kBoxes; ++k)
        for (int j = 0; j < kEntries; ++j)
            grid.entries[k][j] = QString::number(1 + (k * kEntries + j) % 32);
    return grid;
}

// Box 1 holds 1 and 2, boxes 2 to 8 hold 3 to 9.
inline Grid workedExampleGrid()
{
    return gridOfNumbers({ { { 1, 2 }, { 3 }, { 4 }, { 5 }, { 6 }, { 7 }, { 8 }, { 9 } } });
}

// Pairs of boxes share 2 numbers and hold 3 of their own: 279,841 columns.
inline Grid largestGrid()
{
    return gridOfNumbers({ { { 1, 2, 3, 4, 5 }, { 1, 2, 6, 7, 8 }, { 9, 10, 11, 12, 13 },
        { 9, 10, 14, 15, 16 }, { 17, 18, 19, 20, 21 }, { 17, 18, 22, 23, 24 },
        { 25, 26, 27, 28, 29 }, { 25, 26, 30, 31, 32 } } });
}

inline Grid mediumGrid()
{
    return gridOfNumbers({ { { 1, 7, 26 }, { 8, 21, 27 }, { 3, 9, 28 }, { 2, 5 }, { 20, 22 },
        { 18, 24 }, { 13 }, { 19 } } });
}

inline Grid disjointThreeGrid()
{
    std::array<std::vector<int>, kBoxes> boxes;
    for (int k = 1; k <= kBoxes; ++k)
        boxes[k - 1] = { 3 * k - 2, 3 * k - 1, 3 * k };
    return gridOfNumbers(boxes);
}

} // namespace ottavario::testing
