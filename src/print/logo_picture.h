#pragma once

#include "print/document_renderer.h"

#include <QImage>
#include <QString>

namespace ottavario::print {

// Image2: the program's logo, 114 x 40 pixels, drawn here rather than loaded.
QImage logoPicture();

// The pictures of the program a document may name; a null image for any
// other name.
QImage programPicture(const QString& name);
PictureSet programPictures();

} // namespace ottavario::print
