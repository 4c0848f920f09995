#pragma once

#include "print/print_document.h"

#include <QList>
#include <QString>

namespace ottavario::print {

// A text set on its line at a fixed distance from the left edge of the
// printable area, in twips: texts laid out with blanks would start wherever a
// proportional face puts them.
struct FlowField {
    int x = 0;
    QString text;

    friend bool operator==(const FlowField&, const FlowField&) = default;
};

// A whole line of text: it starts at the left edge of the printable area, one
// line height of its own size below the line before it.
struct FlowLine {
    QString text;
    double points = 12;
    bool bold = false;
    // Printed on the same page as the line after it, unless the lines kept
    // together could not fit on any page.
    bool keepWithNext = false;
    // A grey bar on the line, for a chart: from `barLeft` twips right of the
    // edge, `barLength` long, as high as part of the line; none when 0 long.
    int barLeft = 0;
    int barLength = 0;
    // Printed first, in the line's own font, on a page this line opens: the
    // column headings of a long table.
    QString pageHeading {};
    // Squeezed across, where it is wider than the printable area, rather than
    // cut at its edge.
    bool fitToWidth = false;
    // Further texts of the line, in the same font, each at its own place.
    QList<FlowField> fields {};

    friend bool operator==(const FlowLine&, const FlowLine&) = default;
};

// A document that is printed line by line and runs from page to page as the
// printer's page fills up; where the pages break is known only once the real
// line heights of the face are, so the renderer decides it.
struct FlowDocument {
    QString name; // the job's name, also the file name offered for a PDF
    QString family; // the face of every line
    // Drawn on the first page; they do not move the lines.
    QList<PrintItem> overlay;
    QList<FlowLine> lines;
    // The printer's font once the job has ended.
    PrintFont fontAfter;
};

// The pages printed `copies` times over, each copy starting on a sheet of its
// own. Pages are shared, not copied.
inline PrintDocument withCopies(PrintDocument document, int copies)
{
    const QList<PrintPage> once = document.pages;
    for (int copy = 1; copy < copies; ++copy)
        document.pages.append(once);
    return document;
}

// Builds a flow line by line and keeps the font last set, as the printer would.
class FlowWriter {
public:
    FlowWriter(FlowDocument& document, double points)
        : m_document(document)
        , m_points(points)
    {
    }

    void setSize(double points) { m_points = points; }
    void setBold(bool bold) { m_bold = bold; }
    void keepWithNext(bool keep) { m_keep = keep; }
    // The line in the font last set; the caller may give it fields, a bar or a heading.
    FlowLine& line(QString text)
    {
        m_document.lines.append({ .text = std::move(text),
            .points = m_points,
            .bold = m_bold,
            .keepWithNext = m_keep });
        return m_document.lines.last();
    }
    // A rule, or a text that may be long: never cut at the paper's edge.
    void fittedLine(QString text) { line(std::move(text)).fitToWidth = true; }
    void finish() { m_document.fontAfter = { m_document.family, m_points, m_bold }; }

private:
    FlowDocument& m_document;
    double m_points;
    bool m_bold = false;
    bool m_keep = false;
};

} // namespace ottavario::print
