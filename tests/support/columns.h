#pragma once

#include "core/column.h"

#include <initializer_list>

namespace ottavario::testing {

// A column from its numbers, as the engine and the scoring hold it.
inline ColumnMask column(std::initializer_list<int> numbers)
{
    ColumnMask mask = 0;
    for (int n : numbers)
        mask |= ColumnMask(1) << (n - 1);
    return mask;
}

} // namespace ottavario::testing
