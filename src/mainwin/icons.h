#pragma once

#include <QIcon>

namespace ottavario::icons {

// Pictures of the command buttons, drawn so that they stay sharp at any size.
enum class Picture {
    NewSystem,
    Open,
    Save,
    ImportExport,
    Calculate,
    Print,
    Check,
    Conditions,
    Wins
};

QIcon icon(Picture picture);

// The program's own icon, the one the installation puts in the desktop's theme.
QIcon programIcon();

} // namespace ottavario::icons
