#include "grid_entry.h"

#include <QStyle>
#include <QStyleOptionFrame>

namespace ottavario {

GridEntry::GridEntry(QWidget* parent)
    : QLineEdit(parent)
{
    setMaxLength(2);
    setAlignment(Qt::AlignCenter);
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(9.75);
    setFont(f);
}

QSize GridEntry::sizeHint() const
{
    const QFontMetrics fm(font());
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize text(fm.horizontalAdvance(QStringLiteral("888")) + 6, fm.height() + 6);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this);
}

void GridEntry::focusAndSelect()
{
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

void GridEntry::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    selectAll();
    emit clicked();
}

} // namespace ottavario
