#pragma once

#include "core/file_error.h"
#include "print/document_renderer.h"
#include "print/flow_document.h"

#include <QPageLayout>

namespace ottavario::print {

// The height of a line printed in the font: the face's line spacing at that
// size, in twips.
double lineHeight(const PrintFont& font);

// The height of the printable area of the layout's page, in twips.
double printableHeight(const QPageLayout& layout);

// The width of the printable area of the layout's page, in twips.
double printableWidth(const QPageLayout& layout);

// Lays the lines of a flow out on pages `pageHeight` twips high, as a printer
// fills them: each line one line height of its own size below the line
// before, the first at the top; a line that does not fit starts the next page.
// Lines to fit are given `pageWidth` as their room (none when 0). The overlay
// goes on the first page. A flow without lines or overlay gives no page.
PrintDocument paginate(const FlowDocument& flow, double pageHeight, double pageWidth = 0);
PrintDocument paginate(const FlowDocument& flow, const QPageLayout& layout);

// The flow laid out on the layout's pages, `copies` times over, as a PDF file
// written whole or not at all.
FileResult<void> renderFlowToPdfFile(const QString& path, const FlowDocument& flow, int copies = 1,
    const QPageLayout& layout = defaultPageLayout());

} // namespace ottavario::print
