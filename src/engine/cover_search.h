#pragma once

#include "cover_problem.h"
#include "helper_thread.h"
#include "step_meter.h"

#include <vector>

namespace ottavario {

// The greedy cover: the column covering most uncovered columns, lowest first
// among equals, until all are covered; `floor` gets the lower bound found on
// the way (the columns over the most any one covers). Empty when stopped.
std::vector<int> greedyCover(
    const CoverProblem& problem, StepMeter& meter, HelperThread* helper, qsizetype& floor);

// From a covering set, swaps one kept column for another that covers a random
// uncovered column, weights steering it away from columns that stay
// uncovered; each time all are covered the set is recorded and its cheapest
// column dropped. The smallest covering set seen, or nothing when `start`
// does not cover. Stops at `floor` columns.
std::vector<int> improveCover(const CoverProblem& problem, const std::vector<int>& start,
    quint64 seed, qsizetype floor, StepMeter& meter);

} // namespace ottavario
