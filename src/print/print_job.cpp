#include "print_job.h"

#include "print/flow_pagination.h"

namespace ottavario::print {

std::expected<PageSource, PrintRefusal> buildPrintJob(const PrintJobRequest& request)
{
    switch (request.kind) {
    case PrintJobKind::TestPrint:
        return fixedPages(testPrintDocument(request.calibration, request.firstColumnOnly));
    case PrintJobKind::Slips: {
        const SlipRequest slips { request.systemPath, request.firstSlip, request.lastSlip,
            request.nameLine, request.informationSlip, request.columnPrice, request.calibration };
        auto document = slipDocument(slips, request.systemsFolder);
        if (!document)
            return std::unexpected(document.error());
        return fixedPages(std::move(*document));
    }
    case PrintJobKind::Tabulation: {
        if (request.systemPath.isEmpty())
            return std::unexpected(noSystemRefusal());
        auto flow = tabulationDocument(request.systemPath, request.layout, request.columnPrice);
        if (!flow)
            return std::unexpected(PrintRefusal {
                printWindowTitle(), flow.error().message(QStringLiteral("leggere")) });
        return [flow = std::move(*flow), copies = request.copies](
                   const QPageLayout& page) { return withCopies(paginate(flow, page), copies); };
    }
    }
    return std::unexpected(PrintRefusal {});
}

} // namespace ottavario::print
