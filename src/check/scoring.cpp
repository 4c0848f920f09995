#include "scoring.h"

#include "core/grid.h"
#include "engine/column_file.h"
#include "print/slip_document.h"

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

QString winningColumnLine(const WinningColumn& column, qint64 columnCount)
{
    const qint64 lastSlip = print::slipCountOf(std::max(columnCount, column.record));
    const qint64 slip = print::slipCountOf(column.record);
    const qint64 place = column.record - (slip - 1) * print::kBetColumns;
    const auto width = [](qint64 n) { return int(QString::number(n).size()); };
    return QStringLiteral("%1 punti  colonna %2 (scheda %3, %4ª) ")
               .arg(column.points)
               .arg(column.record, width(std::max(columnCount, column.record)))
               .arg(slip, width(lastSlip))
               .arg(place)
        + previewLine(numbersOf(column.column));
}

QString counterText(long long count) { return count ? QString::number(count) : QString(); }

} // namespace ottavario
