#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace ottavario {

inline constexpr int kBoxes = 8;
inline constexpr int kEntries = 5;
inline constexpr int kLowestNumber = 1;
inline constexpr int kHighestNumber = 32;

// The prediction grid as the player typed it: 8 boxes of 5 entries of text.
struct Grid {
    std::array<std::array<QString, kEntries>, kBoxes> entries;

    double value(int box, int entry) const;
    bool isFilled(int box, int entry) const { return value(box, entry) != 0; }

    // c_k: the entries of box `box` (0-based) whose value is not 0.
    int count(int box) const;
    std::array<int, kBoxes> counts() const;
    // N = c_1 x ... x c_8; 0 when a box is empty.
    long long combinations() const;

    // The texts of the filled entries of a box, in index order; a gap left
    // between entries is closed, so development and saving take the same numbers.
    QStringList numbersOfBox(int box) const;
    // Entry index of the j-th filled entry of a box, or -1.
    int entryOfNumber(int box, int j) const;
};

bool isValidMatchNumber(double value);

} // namespace ottavario
