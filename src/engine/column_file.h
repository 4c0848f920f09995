#pragma once

#include "core/column.h"
#include "core/file_error.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace ottavario {

// A column file: records of 16 bytes, 8 fields of 2 characters, no header.
inline constexpr qsizetype kRecordSize = 16;

inline qint64 columnCount(qint64 fileSize) { return fileSize / kRecordSize; }

// The most columns a system has: 5 numbers in each of the 8 boxes.
inline constexpr qint64 kMaxColumns = 390'625;

// A field of the developed file, as the player typed it: a one-character text
// gets one leading space.
QByteArray typedField(QStringView text);

// The canonical field of a number: right-aligned in 2 characters.
void appendCanonicalField(QByteArray& out, int number);
void appendCanonicalRecord(QByteArray& out, const ColumnNumbers& numbers);
QByteArray canonicalRecord(const ColumnNumbers& numbers);

// Field k read as a decimal value, leading space ignored; 8 fields.
ColumnNumbers parseRecord(const char* record);

// A record holds a column when its fields are 8 different numbers from 1 to 32.
std::optional<ColumnMask> maskOfRecord(const char* record);

// " " then the 8 ascending numbers, each right-aligned in 3 characters but the
// first: 26 characters.
QString previewLine(const ColumnNumbers& ascending);

// Every column of a file as masks, in record order; a trailing partial record
// is not read. A record that is not a column is an error naming its number; a
// file of more than kMaxColumns records is refused before it is read.
FileResult<std::vector<ColumnMask>> readColumnMasks(const QString& path);

QByteArray formatColumnMasks(const std::vector<ColumnMask>& masks);

} // namespace ottavario
