#pragma once

#include "core/column.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace ottavario {

inline constexpr int kWinningBoxes = 8;
using WinningValues = std::array<double, kWinningBoxes>;

// The later box of the first pair of winning boxes holding the same number, in
// the order the check looks for it; an empty box (0) repeats nothing.
std::optional<int> repeatedWinningBox(const WinningValues& values);

// The winning numbers as a set: a box that is not a match number matches none.
ColumnMask winningMask(const WinningValues& values);

struct Score {
    long long eight = 0;
    long long seven = 0;
    long long six = 0;
};

// One AND and a popcount a column.
Score score(const std::vector<ColumnMask>& columns, ColumnMask winning);

// A column of the system with 6 points or more.
struct WinningColumn {
    qint64 record = 0; // from 1, in file order
    ColumnMask column = 0;
    int points = 0;
};

// The columns with 6, 7 or 8 points, best first, in file order within a score.
std::vector<WinningColumn> winningColumns(
    const std::vector<ColumnMask>& columns, ColumnMask winning);

// "7 punti  colonna 13 (scheda 3, 1ª)", then the column as the preview
// writes it: the column to claim, by its number in the system and by the slip
// it is printed on, six a slip. Numbers stand right-aligned for a system of
// `columnCount` columns, so that the lines of one check line up.
QString winningColumnLine(const WinningColumn& column, qint64 columnCount);

// A counter as the result labels show it: nothing for no column.
QString counterText(long long count);

} // namespace ottavario
