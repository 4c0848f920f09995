#pragma once

#include "cover_problem.h"

#include <atomic>
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

} // namespace ottavario
