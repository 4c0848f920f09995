#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

namespace ottavario::print {

// A printer font as the layouts ask for it; the renderer finds the nearest
// face the machine has.
struct PrintFont {
    QString family;
    double points = 8;
    bool bold = false;
    bool italic = false;

    friend bool operator==(const PrintFont&, const PrintFont&) = default;
};

// The slip mark: ")" in the mark font at 9 points.
PrintFont markFont();
QString markGlyph();
// The face of the texts printed on a slip.
PrintFont slipTextFont(double points);

enum class ItemKind {
    Mark, // the mark of a slip cell; drawn by hand where the mark font is missing
    Text, // a text whose line box starts at the position
    Picture, // a picture of the program, by name
    Bar, // a grey bar of a chart, `size` twips from the position
};

// One thing printed on a page. Positions are twips (1/1440 inch) from the
// top-left corner of the printable area, growing right and down.
struct PrintItem {
    ItemKind kind = ItemKind::Text;
    QPoint position;
    QString text; // the text, the glyph of a mark, or the name of a picture
    PrintFont font; // texts and marks
    // Pictures and bars: twips, empty for a picture's natural size. Texts: a
    // width above 0 is the room the text is squeezed across into when wider.
    QSize size;

    friend bool operator==(const PrintItem&, const PrintItem&) = default;
};

struct PrintPage {
    QList<PrintItem> items;

    void addMark(QPoint position);
    void addText(QPoint position, const QString& text, const PrintFont& font);
    void addPicture(QPoint position, const QString& name, QSize size = {});
    void addBar(QPoint position, QSize size);

    QList<PrintItem> itemsOf(ItemKind kind) const;
};

// Everything one print job hands to the printer; a page is a sheet, and no
// blank sheet follows the last one.
struct PrintDocument {
    QString name; // the job's name, also the file name offered for a PDF
    QList<PrintPage> pages;
    // The printer's font once the job has ended.
    PrintFont fontAfter;
};

} // namespace ottavario::print
