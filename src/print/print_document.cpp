#include "print_document.h"

namespace ottavario::print {

PrintFont markFont() { return { QStringLiteral("lotuswp icon"), 9 }; }

QString markGlyph() { return QStringLiteral(")"); }

PrintFont slipTextFont(double points) { return { QStringLiteral("MS Sans Serif"), points }; }

void PrintPage::addMark(QPoint position)
{
    items.append({ ItemKind::Mark, position, markGlyph(), markFont(), {} });
}

void PrintPage::addText(QPoint position, const QString& text, const PrintFont& font)
{
    items.append({ ItemKind::Text, position, text, font, {} });
}

void PrintPage::addPicture(QPoint position, const QString& name, QSize size)
{
    items.append({ ItemKind::Picture, position, name, {}, size });
}

void PrintPage::addBar(QPoint position, QSize size)
{
    items.append({ ItemKind::Bar, position, {}, {}, size });
}

QList<PrintItem> PrintPage::itemsOf(ItemKind kind) const
{
    QList<PrintItem> found;
    for (const PrintItem& item : items)
        if (item.kind == kind)
            found.append(item);
    return found;
}

} // namespace ottavario::print
