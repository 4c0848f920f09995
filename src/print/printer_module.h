#pragma once

#include <QString>

#include <functional>

class QPageLayout;
class QPagedPaintDevice;

namespace ottavario::print {

// The default printer lives in a module the companion loads only when it
// prints to a printer: Qt's PrintSupport library needs Widgets, which the
// companion never loads otherwise. Both sides are built together, with the
// same compiler and Qt, so they share these C++ types.
struct PrinterJob {
    // Lays the pages out on the printer's paper; returns the document's name.
    std::function<QString(const QPageLayout&)> layOut;
    // Paints what was laid out; false when the printer refuses.
    std::function<bool(QPagedPaintDevice&)> paint;
};

enum class PrinterOutcome { Printed, NoPrinter, Refused };

struct PrinterResult {
    PrinterOutcome outcome = PrinterOutcome::NoPrinter;
    QString printerName;
};

// The module's one entry point, found under this C name.
inline constexpr char kPrintOnDefaultPrinter[] = "ottavario_print_on_default_printer";
using PrintOnDefaultPrinter = void (*)(const PrinterJob& job, PrinterResult& result);

} // namespace ottavario::print
