#pragma once

#include "core/conditions.h"
#include "core/file_error.h"
#include "core/grid.h"
#include "core/system_type.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <expected>

namespace ottavario {

// A description file: the numbers of the grid, "[Fine]", the system-type code
// and the eight counts, one value a line, CR LF.
inline constexpr int kMaxDescriptionValues = 50;
// Longest line taken as a value, blanks included; anything longer is not a
// description file.
inline constexpr int kMaxDescriptionLine = 100;
// Bytes read at most: the largest file of kMaxDescriptionValues lines and a
// conditions block of kMaxConditions lines.
inline constexpr qint64 kMaxDescriptionBytes
    = qint64(kMaxDescriptionValues) * (kMaxDescriptionLine + 2)
    + qint64(kMaxConditions + 2) * (kMaxConditionLine + 2);

inline const QString kEndOfNumbers = QStringLiteral("[Fine]");

// A description as read back: box k's numbers in entries 0 to c_k - 1, the
// other entries empty.
struct SystemDescription {
    Grid grid;
    SystemType type = kDefaultSystemType;
    std::array<int, kBoxes> counts {};
    Conditions conditions; // the columns in play

    int numberCount() const;
};

// An integer as printed in a description: a blank for the sign, the digits,
// a blank (" 2 ").
QByteArray printForm(int value);

// Every filled entry of the grid, box by box with gaps closed, exactly as
// typed; then "[Fine]", the code and the counts; then the conditions block
// when there are conditions.
QByteArray formatDescription(const Grid& grid, SystemType type, const Conditions& conditions = {});

// The values of a description: one a line, blanks around it dropped; the empty
// text after the last line end and blank lines at the end are no values. More
// than kMaxDescriptionValues values or a line longer than kMaxDescriptionLine
// is an error with its reason.
std::expected<QStringList, QString> descriptionValues(const QString& text);

// Reads and checks the whole description: more than kMaxDescriptionBytes, no
// "[Fine]", no code 5 to 8, not 8 counts from 0 to 5, numbers that do not
// match the counts, or a fault in the conditions block is an error with its
// reason, in Italian.
std::expected<SystemDescription, QString> parseDescription(const QByteArray& bytes);

// Reads at most kMaxDescriptionBytes of the file, decoded as UTF-8 or
// Windows-1252, and parses it.
FileResult<SystemDescription> readDescription(const QString& path);

} // namespace ottavario
