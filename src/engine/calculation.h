#pragma once

#include "core/column.h"
#include "core/conditions.h"
#include "core/file_error.h"
#include "core/system_type.h"

#include <QString>

#include <atomic>
#include <vector>

namespace ottavario {

struct Grid;

// The progress bar of a calculation, written by the worker and polled by the
// window (ProgressBar1: minimum 1 once it moves, maximum, value).
struct CalculationProgress {
    static constexpr int kStartValue = 1;

    std::atomic<int> maximum { 100 };
    std::atomic<int> value { kStartValue };
};

// 100 + f x floor(n / 30), with f from the system type.
int progressMaximum(qint64 developedCount, SystemType type);

// The two work files a calculation rewrites.
struct WorkFiles {
    QString developed; // tmp: the developed columns, typed fields in box order
    QString kept; // sistmp: the kept columns, ascending canonical fields

    static WorkFiles standard(); // in workFolder()
};

struct ColumnCalculation {
    qint64 developedCount = 0; // n
    // The developed columns that meet the conditions, in development order:
    // what the kept columns cover and the columns a draw can be won with.
    // Every developed column when there are no conditions.
    std::vector<ColumnMask> inPlay;
    bool conditioned = false;
    std::vector<ColumnMask> kept; // K columns, in the order they were kept
    // Every column in play was checked against the kept ones.
    bool guaranteeVerified = false;
};

// How the columns are reduced.
struct CalculationOptions {
    // "Riduzione ottimizzata": far fewer columns with the same guarantee, in
    // about two seconds (not for Integrale).
    bool optimised = false;
    // Ends the optimised search early; it keeps the best set found so far.
    const std::atomic<bool>* stop = nullptr;
    qint64 optimisationWork = 0; // steps of the search; 0 for the usual bound
    // Only the developed columns that meet them are in play: the developed
    // work file holds those alone, and the reduction keeps and covers those.
    Conditions conditions;
};

// The whole calculation command after the grid checks, safe to run on a
// worker thread: develops the grid, reduces it for the system type and
// rewrites both work files, creating their folder when it is missing. The
// grid should pass checkGrid(). A work file that cannot be removed or written
// is an error naming it; a failure never leaves a stale file behind. The
// progress value moves from its start value towards the maximum with the
// candidates reduced, and is back at the start value when the call returns.
FileResult<ColumnCalculation> calculateColumns(const Grid& grid, SystemType type,
    const WorkFiles& files = WorkFiles::standard(), CalculationProgress* progress = nullptr,
    const CalculationOptions& options = {});

} // namespace ottavario
