#pragma once

#include "core/column.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <expected>
#include <span>
#include <vector>

namespace ottavario {

// A condition on the 8 numbers of a column: a value taken from the column
// that must lie from `lowest` to `highest`, both included.
struct Condition {
    enum class Kind {
        Numbers, // how many of its numbers are in `group`
        Sum, // the sum of its numbers
        Odd, // how many of its numbers are odd
        Consecutive, // how many pairs n, n+1 it holds
    };

    Kind kind = Kind::Numbers;
    ColumnMask group = 0; // Numbers only: the numbers the player listed
    int lowest = 0;
    int highest = 0;

    int valueOf(ColumnMask column) const;
    bool accepts(ColumnMask column) const
    {
        const int value = valueOf(column);
        return value >= lowest && value <= highest;
    }

    friend bool operator==(const Condition&, const Condition&) = default;
};

// A column is in play when it meets every condition; no conditions, every column.
using Conditions = std::vector<Condition>;

inline constexpr int kMaxConditions = 20;
// Longest line of the conditions block taken, blanks included: a group of all
// 32 numbers with its range fits with room to spare.
inline constexpr int kMaxConditionLine = 200;

inline const QString kConditionsBegin = QStringLiteral("[Condizioni]");
inline const QString kConditionsEnd = QStringLiteral("[Fine condizioni]");

bool meetsAll(const Conditions& conditions, ColumnMask column);

// The columns that meet every condition, in their order.
std::vector<ColumnMask> keepInPlay(
    std::span<const ColumnMask> columns, const Conditions& conditions);
qsizetype countInPlay(std::span<const ColumnMask> columns, const Conditions& conditions);

// The lowest and highest value a kind can take on a column; for Numbers, with
// the group given (up to 8 without one).
std::pair<int, int> fullRange(Condition::Kind kind, ColumnMask group = 0);

// The word that opens a condition's line in the description file: "numeri".
QString keywordOf(Condition::Kind kind);

// The numbers of a mask, ascending, separated by single blanks: "1 5 9 12".
QString numbersText(ColumnMask numbers);

// A condition as a line of the description file, without its line end:
// "numeri 1 5 9 12 da 1 a 2", "somma da 100 a 160".
QString conditionLine(const Condition& condition);

// A line of the conditions block read back. Keywords are lower case, numbers
// whole and decimal, words separated by blanks. The reason of a refusal is in
// Italian, without the line's number.
std::expected<Condition, QString> parseConditionLine(QStringView line);

// As the player reads it: "Numeri 1 5 9 12: da 1 a 2", "Somma: da 100 a 160".
QString conditionText(const Condition& condition);

// The block written after the counts of a description: nothing at all when
// there are no conditions, so that such a file stays as it always was.
QByteArray formatConditionsBlock(const Conditions& conditions);

// A description's text split where its conditions block starts: the text
// before it, and the conditions read from it. Without a block, the whole text
// and no conditions. A fault in the block is an error naming its line,
// counted from 1 over the whole text.
struct SplitDescription {
    QString values; // the text before the block
    Conditions conditions;
};
std::expected<SplitDescription, QString> splitConditionsBlock(const QString& text);

} // namespace ottavario
