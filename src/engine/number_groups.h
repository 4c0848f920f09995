#pragma once

#include "core/column.h"

#include <vector>

namespace ottavario {

// Groups of numbers such that the columns are every combination of one
// part from each group: different numbers in every box give one group per
// box, boxes that share numbers fall in one group. Numbers of different
// groups are independent: a pair appears together in exactly the share of
// columns that the product of their own shares predicts.
struct NumberGroup {
    ColumnMask numbers = 0;
    std::vector<ColumnMask> parts; // distinct, in order of appearance
};

std::vector<NumberGroup> independentGroups(const std::vector<ColumnMask>& columns);

} // namespace ottavario
