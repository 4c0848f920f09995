#pragma once

#include "print/print_document.h"
#include "print/slip_document.h"
#include "print/slip_grid.h"
#include "print/tabulation_document.h"

#include <QPageLayout>
#include <QString>

#include <expected>
#include <functional>
#include <utility>

namespace ottavario::print {

// The pages of a print laid out on the page they will go on: a preview may
// change the paper, and lines that run from page to page must follow it.
// Documents of fixed positions ignore the page.
using PageSource = std::function<PrintDocument(const QPageLayout&)>;

// The same pages on any paper.
inline PageSource fixedPages(PrintDocument document)
{
    return [document = std::move(document)](const QPageLayout&) { return document; };
}

// What can be printed: the system's slips, its tabulation, the test print.
enum class PrintJobKind { Slips, Tabulation, TestPrint };

// Everything one print job is made from, whether the print window's controls
// or the companion's arguments said it.
struct PrintJobRequest {
    PrintJobKind kind = PrintJobKind::TestPrint;
    QString systemPath; // the system's column file; empty while none is open
    QString systemsFolder; // the slips' system name is cut from the path by it
    QString columnPrice; // lire, the settings value
    Calibration calibration;
    // Slips: the range as typed and what goes with them.
    QString firstSlip;
    QString lastSlip;
    bool nameLine = true;
    bool informationSlip = true;
    // Tabulation.
    TabulationLayout layout = TabulationLayout::Prospectus;
    int copies = 1;
    // Test print: only the two lines of the first bet column.
    bool firstColumnOnly = false;
};

// The job's pages, read from the system's files as they are now, or why
// nothing is to be printed.
std::expected<PageSource, PrintRefusal> buildPrintJob(const PrintJobRequest& request);

} // namespace ottavario::print
