#pragma once

#include "core/column.h"
#include "subset_ranker.h"

#include <QtGlobal>

#include <functional>
#include <span>
#include <vector>

namespace ottavario {

// Called now and then with the number of candidates looked at so far.
using ReductionProgress = std::function<void(qsizetype candidatesDone)>;

// The greedy reduction: candidates (columns of 8 numbers) in development
// order, each kept unless it shares `threshold` or more numbers with a column
// kept before it. Kept columns come back in the order they were kept. Every
// t-subset of a kept column is marked in a bitmap, so a candidate costs at
// most C(8, t) look-ups whatever the number of columns kept.
std::vector<ColumnMask> reduceColumns(
    std::span<const ColumnMask> developed, int threshold, const ReductionProgress& progress = {});

// The same greedy by comparing each candidate with every kept column; slow,
// plain, the reference the fast one is checked against.
std::vector<ColumnMask> reduceColumnsByScan(std::span<const ColumnMask> developed, int threshold);

} // namespace ottavario
