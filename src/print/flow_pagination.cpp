#include "flow_pagination.h"

#include "print/logo_picture.h"

#include <QFontMetricsF>
#include <QList>

#include <utility>

namespace ottavario::print {

double lineHeight(const PrintFont& font)
{
    // Asked for every line, of a few sizes: a listing has tens of thousands.
    static QList<std::pair<PrintFont, double>> known;
    for (const auto& [seen, height] : known)
        if (seen == font)
            return height;
    // The unit of the renderer's painter is the twip, so the metrics of its
    // font come in twips.
    const double height = QFontMetricsF(printerFont(font)).lineSpacing();
    known.append({ font, height });
    return height;
}

double printableHeight(const QPageLayout& layout)
{
    return layout.paintRect(QPageLayout::Point).height() * 20;
}

double printableWidth(const QPageLayout& layout)
{
    return layout.paintRect(QPageLayout::Point).width() * 20;
}

PrintDocument paginate(const FlowDocument& flow, double pageHeight, double pageWidth)
{
    PrintDocument document;
    document.name = flow.name;
    document.fontAfter = flow.fontAfter;
    if (flow.lines.isEmpty() && flow.overlay.isEmpty())
        return document;
    PrintPage page;
    page.items = flow.overlay;
    page.items.reserve(page.items.size() + std::min<qsizetype>(flow.lines.size(), 200));
    double top = 0;
    bool pageHasLines = false;
    for (qsizetype i = 0; i < flow.lines.size(); ++i) {
        const FlowLine& line = flow.lines[i];
        const PrintFont font { flow.family, line.points, line.bold };
        const double height = lineHeight(font);
        // The first of lines kept together needs room for all of them, as
        // long as they fit on a page at all.
        double needed = height;
        if (line.keepWithNext && (i == 0 || !flow.lines[i - 1].keepWithNext)) {
            double together = 0;
            for (qsizetype j = i; j < flow.lines.size(); ++j) {
                const FlowLine& kept = flow.lines[j];
                together += lineHeight({ flow.family, kept.points, kept.bold });
                if (!kept.keepWithNext)
                    break;
            }
            if (together <= pageHeight)
                needed = together;
        }
        // A line higher than a whole page is printed all the same.
        if (pageHasLines && top + needed > pageHeight) {
            document.pages.append(std::move(page));
            page = {};
            top = 0;
            if (!line.pageHeading.isEmpty()) {
                page.addText(QPoint(0, 0), line.pageHeading, font);
                top = height;
            }
        }
        page.addText(QPoint(0, qRound(top)), line.text, font);
        if (line.barLength > 0)
            page.addBar(QPoint(line.barLeft, qRound(top + height * 0.25)),
                QSize(line.barLength, qRound(height * 0.55)));
        if (line.fitToWidth && pageWidth > 0)
            page.items.last().size = QSize(int(pageWidth), 0);
        for (const FlowField& field : line.fields)
            page.addText(QPoint(field.x, qRound(top)), field.text, font);
        top += height;
        pageHasLines = true;
    }
    document.pages.append(std::move(page));
    return document;
}

PrintDocument paginate(const FlowDocument& flow, const QPageLayout& layout)
{
    return paginate(flow, printableHeight(layout), printableWidth(layout));
}

FileResult<void> renderFlowToPdfFile(
    const QString& path, const FlowDocument& flow, int copies, const QPageLayout& layout)
{
    return renderToPdfFile(
        path, withCopies(paginate(flow, layout), copies), layout, programPictures());
}

} // namespace ottavario::print
