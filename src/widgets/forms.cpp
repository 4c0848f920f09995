#include "forms.h"

#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QWidget>

namespace ottavario::forms {

QString indexed(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1StringView(name)).arg(index);
}

QLabel* namedLabel(const QString& objectName, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QAction* namedAction(QMenu* menu, const char* objectName, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1StringView(objectName));
    return action;
}

void centreOnScreen(QWidget* window)
{
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.x() + (area.width() - window->width()) / 2,
            area.y() + (area.height() - window->height()) / 2);
    }
}

} // namespace ottavario::forms
