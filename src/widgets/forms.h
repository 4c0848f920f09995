#pragma once

#include <QString>

class QAction;
class QLabel;
class QMenu;
class QWidget;

// What every window does with its controls: names them as the player's
// habits know them, and stands centred on its screen.
namespace ottavario::forms {

// The name of element `index` of a control array: "Text1(0)".
QString indexed(const char* name, int index);

QLabel* namedLabel(const QString& objectName, const QString& text, QWidget* parent);

// A menu item named as the player's habits know it: "nuovo", "apri" ...
QAction* namedAction(QMenu* menu, const char* objectName, const QString& caption);

// Centres the window, at its present size, on its screen's free area.
void centreOnScreen(QWidget* window);

} // namespace ottavario::forms
