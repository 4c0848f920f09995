#pragma once

#include <QString>

#include <optional>

namespace ottavario {

struct Grid;

// Why a grid cannot be calculated, and the entry that gets the focus.
struct GridProblem {
    enum class Kind {
        NoNumbers, // some box has no filled entry (N = 0)
        InvalidNumber, // a filled entry that is not a whole number from 1 to 32
        RepeatedNumber, // two entries of one box hold the same value
    };

    Kind kind = Kind::NoNumbers;
    int box = 0; // 0-based; meaningless for NoNumbers
    int entry = 0; // 0-based; meaningless for NoNumbers

    friend bool operator==(const GridProblem&, const GridProblem&) = default;
};

// The checks the calculation makes before it touches a work file, in this
// order: no numbers, an invalid number (first in box order, then entry order),
// a number repeated within a box (the first pair in the classic scan order,
// the focus on its lower entry).
std::optional<GridProblem> checkGrid(const Grid& grid);

// The message box of a problem.
QString problemMessage(GridProblem::Kind kind);
QString problemTitle(GridProblem::Kind kind);

} // namespace ottavario
