#pragma once

#include "core/file_error.h"
#include "print/print_document.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QRectF>

class QPagedPaintDevice;
class QPainter;

namespace ottavario::print {

// Pictures a document may name; drawn at 15 twips a pixel unless sized. The
// program's own pictures are found without being named here.
using PictureSet = QHash<QString, QImage>;

// The font a text is drawn in, sized for a painter whose unit is the twip.
QFont printerFont(const PrintFont& font);

// The mark drawn by hand where the mark font is missing: a filled oval, in
// twips from the mark's position, inside the line box of a 9 point glyph.
QRectF handDrawnMark();

// Draws one page on a painter whose unit is already the twip.
void paintPage(QPainter& painter, const PrintPage& page, const PictureSet& pictures = {});

// Every page on a printer or a PDF writer, one sheet a page, from the top-left
// of the printable area. False when the device refuses to be painted on. A
// document without pages paints nothing.
bool renderDocument(
    QPagedPaintDevice& device, const PrintDocument& document, const PictureSet& pictures = {});

// A4 upright with the 10 point margins of Qt's own PDF printer.
QPageLayout defaultPageLayout();

// The document as a PDF file, written whole or not at all.
FileResult<void> renderToPdfFile(const QString& path, const PrintDocument& document,
    const QPageLayout& layout = defaultPageLayout(), const PictureSet& pictures = {});

} // namespace ottavario::print
