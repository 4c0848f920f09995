#pragma once

#include "core/file_error.h"
#include "print/print_document.h"
#include "print/slip_grid.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <expected>

namespace ottavario::print {

// The caption of the print window, also the title of its own messages.
QString printWindowTitle();

// Why a print run prints nothing; shown to the user as it stands.
struct PrintRefusal {
    QString title;
    QString text;

    friend bool operator==(const PrintRefusal&, const PrintRefusal&) = default;
};

// "Aprire un sistema.": nothing can be printed before a system is opened.
PrintRefusal noSystemRefusal();

// The test print: a mark in every cell of the grid, row by row, or only in
// the two lines of the first bet column; one page.
PrintDocument testPrintDocument(const Calibration& calibration, bool firstBetColumnOnly);

// Six columns a slip; a remainder starts one more slip.
inline qint64 slipCountOf(qint64 columns) { return (columns + kBetColumns - 1) / kBetColumns; }

// Columns of a column file (length / 16); an error when it cannot be opened.
FileResult<qint64> columnsInFile(const QString& path);

// The path less as many leading characters as "<systems folder>/" has and less
// its last 4, cut to 15 characters. A path too short for that gives the file
// name less its extension.
QString systemNameOf(const QString& path, const QString& systemsFolder);

// Shortest decimal form: no blanks, no grouping, no decimals on a whole number.
QString plainNumber(double value, const QLocale& locale = QLocale());

// What slip printing takes from the print window when it starts.
struct SlipRequest {
    QString systemPath; // empty while no system is open
    QString firstSlip; // the range as typed, read by the number rule
    QString lastSlip;
    bool nameLine = true; // "Stampa il nome e il numero della scheda."
    bool informationSlip = true; // "Alla fine, stampa la scheda informativa."
    QString columnPrice; // lire, settings value 10
    Calibration calibration;
};

using SlipLayout = std::expected<PrintDocument, PrintRefusal>;

// One page per slip from the first to the last slip, then the information
// slip when the run reaches the system's last slip. The range must be whole
// slip numbers of the system, the first not after the last, and every column
// to print must hold numbers of the slip (1 to 32); otherwise nothing prints.
SlipLayout layOutSlips(
    const SlipRequest& request, const QByteArray& columnFile, const QString& systemsFolder);

// layOutSlips() on the column file as it is now.
SlipLayout slipDocument(const SlipRequest& request, const QString& systemsFolder);

} // namespace ottavario::print
