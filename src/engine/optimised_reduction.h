#pragma once

#include "core/column.h"

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <span>
#include <vector>

namespace ottavario {

// Steps of the search (t-subset look-ups and list entries visited): about a
// second of swaps on a two-core machine, so with the greedy before them the
// largest grids take about two seconds. Twice as many steps shrank none of
// the benchmark grids by more than 1.5%. The bound is a count, not a clock,
// so a grid always gives the same columns.
inline constexpr qint64 kDefaultOptimisationWork = 250'000'000;

// Called on the calling thread with the steps done so far and the bound.
using OptimisationProgress = std::function<void(qint64 done, qint64 total)>;

struct OptimisationOptions {
    qint64 work = kDefaultOptimisationWork;
    // Set from any thread: the search ends at its next step and returns the
    // smallest set it has proved so far.
    const std::atomic<bool>* stop = nullptr;
    OptimisationProgress progress;
    // Two searches run side by side when 2; one after the other when 1. The
    // result is the same either way.
    int threads = 2;
};

// A set of developed columns such that every developed column shares at least
// `threshold` numbers with one of them, as small as the search makes it within
// its bound: a greedy that keeps the column covering most columns not yet
// covered, then a weighted swap search. Grids whose boxes split into
// independent groups also start from products of covers of the groups, from
// unions of cosets of linear codes when every box holds as many different
// numbers, and from covers stored for grids of a known shape. Never larger
// than reduceColumns(); with a threshold of 8 or more, or 0 or less, it is
// reduceColumns(). The kept columns come back in development order.
std::vector<ColumnMask> optimiseReduction(
    std::span<const ColumnMask> developed, int threshold, const OptimisationOptions& options = {});

} // namespace ottavario
