#pragma once

#include <QIcon>

namespace ottavario::icons {

// Pictures of the command buttons, drawn so that they stay sharp at any size.
enum class Picture { NewSystem, Open, Save, ImportExport, Calculate, Print, Check, Wins };

QIcon icon(Picture picture);

} // namespace ottavario::icons
