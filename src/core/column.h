#pragma once

#include <QtGlobal>

#include <array>
#include <bit>

namespace ottavario {

inline constexpr int kColumnSize = 8;

// A column as a set: bit n-1 stands for match number n (1 to 32).
using ColumnMask = quint32;
using ColumnNumbers = std::array<int, kColumnSize>;

inline ColumnMask maskOf(const ColumnNumbers& numbers)
{
    ColumnMask mask = 0;
    for (int n : numbers)
        mask |= ColumnMask(1) << (n - 1);
    return mask;
}

// The numbers of a mask of 8 bits, ascending.
inline ColumnNumbers numbersOf(ColumnMask mask)
{
    ColumnNumbers numbers {};
    for (int i = 0; i < kColumnSize && mask; ++i) {
        numbers[i] = std::countr_zero(mask) + 1;
        mask &= mask - 1;
    }
    return numbers;
}

inline int commonNumbers(ColumnMask a, ColumnMask b) { return std::popcount(a & b); }

} // namespace ottavario
