#pragma once

#include "core/file_error.h"

#include <QStringList>

namespace ottavario::settings {

inline constexpr int kMaxValues = 100;
inline constexpr int kValueCount = 13;

// Value numbers, counted from 1 as in the file.
enum Value {
    CompanyName = 1,
    Street = 2,
    StreetNumber = 3,
    Postcode = 4,
    City = 5,
    Country = 6,
    Telephone = 7,
    Fax = 8,
    Email = 9,
    LirePrice = 10,
    EuroPrice = 11,
    VerticalOffset = 12,
    HorizontalOffset = 13,
};

// Empty personal data, 800 lire and 0.41 euro a column, offsets 0 and 0.
QStringList defaultValues();

// Value `number` (from 1); a value the file does not hold is an empty text.
QString value(const QStringList& values, int number);

// The file is 8-bit text: UTF-8 where the bytes are valid UTF-8, otherwise
// Windows-1252, the code page such files were made in.
QString decodeText(const QByteArray& bytes);

// Quoted values keep their commas; blanks around unquoted values are dropped.
// At most kMaxValues are taken; the rest is ignored.
QStringList parseValues(const QString& text);

// Each value between double quotes, one a line, CR LF.
QByteArray formatValues(const QStringList& values);

FileResult<QStringList> readAll(const QString& path);
FileResult<void> writeAll(const QString& path, const QStringList& values);

// Reads the n values of the file, replaces values 12 and 13 where the file
// holds them and writes the n values back.
FileResult<void> rewriteCalibration(
    const QString& path, const QString& verticalOffset, const QString& horizontalOffset);

} // namespace ottavario::settings
