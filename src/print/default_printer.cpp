// The printer module: the one piece of the companion that needs PrintSupport.
#include "print/printer_module.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <type_traits>

using namespace ottavario::print;

extern "C" Q_DECL_EXPORT void ottavario_print_on_default_printer(
    const PrinterJob& job, PrinterResult& result)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        result.outcome = PrinterOutcome::NoPrinter;
        return;
    }
    result.printerName = info.printerName();
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(job.layOut(printer.pageLayout()));
    result.outcome = job.paint(printer) ? PrinterOutcome::Printed : PrinterOutcome::Refused;
}

// The signature the companion resolves it with.
static_assert(std::is_same_v<decltype(&ottavario_print_on_default_printer), PrintOnDefaultPrinter>);
