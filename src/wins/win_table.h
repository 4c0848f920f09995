#pragma once

#include "core/column.h"

#include <QtGlobal>

#include <array>
#include <compare>
#include <memory>
#include <span>
#include <vector>

namespace ottavario {

// Every winning column there can be: 8 different numbers from 1 to 32, C(32, 8).
inline constexpr qint64 kEveryWinningColumn = 10'518'300;

// How many columns of a system score 8, 7 and 6 points against one winning column.
struct Prizes {
    qint64 eight = 0;
    qint64 seven = 0;
    qint64 six = 0;

    bool any() const { return eight || seven || six; }
    // Best first: more 8s, then more 7s, then more 6s.
    friend auto operator<=>(const Prizes&, const Prizes&) = default;
};

struct WinRow {
    Prizes prizes;
    qint64 winners = 0; // winning columns that give these prizes

    friend bool operator==(const WinRow&, const WinRow&) = default;
};

// What a system pays over a set of winning columns, exactly.
struct WinTable {
    std::vector<WinRow> rows; // one per combination of prizes, best first
    qint64 winners = 0; // winning columns counted: the rows' sum
    // Winning columns that give at least one column of 8, of 7, of 6 points.
    std::array<qint64, 3> atLeastOne {};
    qint64 prizeColumns = 0; // columns of 6, 7 or 8 points over all winners
    // The fewest points the system's best column reaches whatever the winner
    // of the set; -1 for a table of every winning column, which leaves it out.
    int guarantee = -1;

    // Of all winners counted, from 0 to 1.
    double share(qint64 count) const { return winners ? double(count) / double(winners) : 0; }
    double expectedPrizeColumns() const
    {
        return winners ? double(prizeColumns) / double(winners) : 0;
    }
    friend bool operator==(const WinTable&, const WinTable&) = default;
};

// Counts how many kept columns hold each set of 6, 7 and 8 numbers, so that a
// winning column's prizes come from its own 6-, 7- and 8-subsets, never from
// a comparison with every column. With S7 the sum of the counts over the 7-subsets
// of the winner and S6 over its 6-subsets: 7 points = S7 - 8 x 8 points and
// 6 points = S6 - 28 x 8 points - 7 x 7 points. A column kept twice counts twice.
class WinCounter {
public:
    explicit WinCounter(std::span<const ColumnMask> kept);
    ~WinCounter();
    WinCounter(const WinCounter&) = delete;
    WinCounter& operator=(const WinCounter&) = delete;

    qsizetype keptCount() const;

    Prizes prizesOf(ColumnMask winning) const;

    // Each distinct set among `winners` taken once as the winning column:
    // the system's own developed columns, or the columns still in play.
    WinTable over(std::span<const ColumnMask> winners) const;

    // Every possible winning column, on `threads` threads; the same table
    // whatever their number.
    WinTable overEveryWinningColumn(int threads = 2) const;

    class Counts;

private:
    std::unique_ptr<const Counts> m_counts;
};

// The distinct sets of the columns, ascending: the winners of a developed system.
std::vector<ColumnMask> distinctColumns(std::span<const ColumnMask> columns);

} // namespace ottavario
