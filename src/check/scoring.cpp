#include "scoring.h"

#include "core/grid.h"
#include "engine/column_file.h"

#include <algorithm>

#include <bit>

namespace ottavario {

std::optional<int> repeatedWinningBox(const WinningValues& values)
{
    for (int i = 0; i < kWinningBoxes - 1; ++i)
        for (int j = 1; j < kWinningBoxes; ++j)
            if (i != j && values[i] != 0 && values[j] == values[i])
                return j;
    return std::nullopt;
}

ColumnMask winningMask(const WinningValues& values)
{
    ColumnMask mask = 0;
    for (double v : values)
        if (isValidMatchNumber(v))
            mask |= ColumnMask(1) << (static_cast<int>(v) - 1);
    return mask;
}

Score score(const std::vector<ColumnMask>& columns, ColumnMask winning)
{
    std::array<long long, 33> byPoints {};
    for (ColumnMask column : columns)
        ++byPoints[std::popcount(column & winning)];
    return { byPoints[8], byPoints[7], byPoints[6] };
}

std::vector<WinningColumn> winningColumns(
    const std::vector<ColumnMask>& columns, ColumnMask winning)
{
    std::vector<WinningColumn> winners;
    for (size_t r = 0; r < columns.size(); ++r) {
        const int points = std::popcount(columns[r] & winning);
        if (points >= 6)
            winners.push_back({ qint64(r) + 1, columns[r], points });
    }
    std::stable_sort(winners.begin(), winners.end(),
        [](const WinningColumn& a, const WinningColumn& b) { return a.points > b.points; });
    return winners;
}

QString winningColumnLine(const WinningColumn& column)
{
    return QStringLiteral("%1 punti  ").arg(column.points) + previewLine(numbersOf(column.column));
}

QString counterText(long long count) { return count ? QString::number(count) : QString(); }

} // namespace ottavario
