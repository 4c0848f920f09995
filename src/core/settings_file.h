#pragma once

#include "core/file_error.h"

#include <QStringList>

namespace ottavario {

// What sistema.ini keeps, as the user typed it: the personal data, the price
// of one column and the printer's calibration. Every value is text; a value
// the file does not hold is empty.
struct Settings {
    QString companyName;
    QString street;
    QString streetNumber;
    QString postcode;
    QString city;
    QString country;
    QString telephone;
    QString fax;
    QString email;
    QString lirePrice; // one column, in lire
    QString euroPrice; // one column, in euro, with a decimal point
    QString verticalOffset; // twips, "Asse y"
    QString horizontalOffset; // twips, "Asse x"
    // Values past the thirteenth, which this program does not use: written
    // back as they were found.
    QStringList extra;

    // Empty personal data, 800 lire and 0.41 euro a column, offsets 0 and 0.
    static Settings defaults();

    friend bool operator==(const Settings&, const Settings&) = default;
};

// Reads the file, or says which file and why it cannot be read.
FileResult<Settings> readSettings(const QString& path);
// The thirteen values, then the extra ones, written whole or not at all.
FileResult<void> writeSettings(const QString& path, const Settings& settings);

// The file's form: one value a line between double quotes, CR LF.
namespace settings {

    inline constexpr int kMaxValues = 100;
    inline constexpr int kValueCount = 13;

    // Quoted values keep their commas; blanks around unquoted values are
    // dropped. At most kMaxValues are taken; the rest is ignored.
    QStringList parseValues(const QString& text);

    // Each value between double quotes, one a line, CR LF.
    QByteArray formatValues(const QStringList& values);

    // The values in the file's order; a short list leaves the last fields empty.
    Settings fromValues(const QStringList& values);
    // The thirteen values, then the extra ones.
    QStringList toValues(const Settings& settings);

    FileResult<QStringList> readAll(const QString& path);
    FileResult<void> writeAll(const QString& path, const QStringList& values);

} // namespace settings

} // namespace ottavario
