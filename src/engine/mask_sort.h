#pragma once

#include "core/column.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <bit>
#include <span>
#include <utility>
#include <vector>

namespace ottavario {

// Sorts items by a 32-bit key in three passes of 11 bits, keeping the order of
// items with equal keys. Linear and cache-friendly: a system's columns are
// sorted in a few milliseconds, where a look-up table of every 8-number set
// would miss the cache at almost every column.
template <typename T, typename KeyOf> void sortByKey(std::vector<T>& items, KeyOf keyOf)
{
    constexpr int kDigitBits = 11;
    constexpr int kPasses = 3;
    constexpr size_t kDigits = size_t(1) << kDigitBits;
    constexpr quint32 kDigitMask = kDigits - 1;
    // The counts of all three digits in one reading.
    std::vector<std::array<quint32, kDigits>> starts(kPasses);
    for (const T& item : items) {
        const quint32 key = keyOf(item);
        for (int pass = 0; pass < kPasses; ++pass)
            ++starts[pass][(key >> (pass * kDigitBits)) & kDigitMask];
    }
    std::vector<T> sorted(items.size());
    for (int pass = 0; pass < kPasses; ++pass) {
        auto& start = starts[pass];
        // A digit all items share leaves the order as it is.
        if (std::find(start.begin(), start.end(), quint32(items.size())) != start.end())
            continue;
        quint32 sum = 0;
        for (quint32& count : start)
            sum += std::exchange(count, sum);
        const int shift = pass * kDigitBits;
        for (const T& item : items)
            sorted[start[(keyOf(item) >> shift) & kDigitMask]++] = item;
        items.swap(sorted);
    }
}

// Whether every mask is a column of exactly 8 numbers: then sharing 8 numbers
// is being the same mask.
inline bool allColumnsOfEight(std::span<const ColumnMask> masks)
{
    // Counted by halving, inline: without the processor's own bit count the
    // compiler calls a library routine for every mask.
    return std::all_of(masks.begin(), masks.end(), [](ColumnMask m) {
        m = m - ((m >> 1) & 0x55555555u);
        m = (m & 0x33333333u) + ((m >> 2) & 0x33333333u);
        return (((m + (m >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24 == kColumnSize;
    });
}

} // namespace ottavario
