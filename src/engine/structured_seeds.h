#pragma once

#include "cover_problem.h"
#include "number_groups.h"

#include <atomic>
#include <vector>

namespace ottavario {

// Direct sums: when the columns are all combinations of parts from two
// groups of numbers, covers of the two with radii adding up to 8 - t make
// a cover of the whole (the ternary Hamming code of length 4 taken twice
// gives 81 columns for 6 points on 3 numbers in each box). Tries the most
// balanced splits of the groups and every split of the radius. The steps
// taken are added to `used`.
std::vector<int> productSeed(const CoverProblem& problem, std::vector<NumberGroup> groups,
    qint64 work, const std::atomic<bool>* stop, qint64& used);

// Different numbers in every box, as many in each: the columns are the
// words of a code over that many symbols, and unions of cosets of linear
// codes cover them (486 columns for 7 points on 3 numbers in each box,
// where the products give 729).
std::vector<int> linearSeed(
    const CoverProblem& problem, const std::vector<NumberGroup>& groups, qint64 work, qint64& used);

// Sets stored for grids of a known shape (boxes paired as in the grid of the
// most columns), as indices of the problem's columns; empty when none fits.
std::vector<int> storedSeed(const CoverProblem& problem, const std::vector<NumberGroup>& groups);

} // namespace ottavario
