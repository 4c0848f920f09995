#pragma once

#include "number_groups.h"

#include <vector>

namespace ottavario {

// Grids whose boxes pair up, the two boxes of a pair sharing 2 numbers and
// holding 3 of their own (with 5 numbers in every box, the grid that develops
// the most columns): a set of columns keeping `threshold` points when one is
// stored for it, as masks of the grid's numbers; empty otherwise. The stored
// sets were found offline; the caller verifies them.
std::vector<ColumnMask> pairedBoxesCover(const std::vector<NumberGroup>& groups, int threshold);

} // namespace ottavario
