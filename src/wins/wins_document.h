#pragma once

#include "print/flow_document.h"
#include "wins/wins_report.h"

#include <QLocale>
#include <QString>

namespace ottavario::print {

// One row of a printed win table: the three prizes and the winning columns
// right-aligned under their headings, then the share. Numbers are laid out
// with spaces, which works in the tabulation's face, where a digit is two
// spaces wide and "." and "," one.
QString winTableHeader();
QString winTableRow(const WinRow& row, const WinTable& table, const QLocale& locale = QLocale());

// The win tables of a system, printed as the tabulation is: the logo, the
// title, the system's name and numbers, then each table with a bar for the
// share of every row.
FlowDocument layOutWins(
    const WinsSystem& system, const WinsReport& report, const QLocale& locale = QLocale());

} // namespace ottavario::print
