#pragma once

#include "print/document_renderer.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>

namespace ottavario::testing {

// The dark pixels of a page painted at 1 pixel for 10 twips on an image of
// `pixels`.
inline QRect inkOf(const print::PrintPage& page, QSize pixels)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(0.1, 0.1);
        print::paintPage(painter, page);
    }
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace ottavario::testing
