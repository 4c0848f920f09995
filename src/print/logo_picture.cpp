#include "logo_picture.h"

#include "print/tabulation_document.h"

#include <QPainter>
#include <QPainterPath>

namespace ottavario::print {

QImage logoPicture()
{
    QImage image(kLogoPixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // A frame with rounded corners round the whole picture.
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1, 1, kLogoPixels.width() - 2, kLogoPixels.height() - 2), 7, 7);

    // A ball with the eight of the game.
    const QRectF ball(5, 5, 30, 30);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(ball);
    QFont digit(tabulationFamily());
    digit.setPixelSize(24);
    digit.setBold(true);
    painter.setFont(digit);
    painter.setPen(Qt::white);
    painter.drawText(ball, Qt::AlignCenter, QStringLiteral("8"));

    QFont name(tabulationFamily());
    name.setPixelSize(14);
    name.setBold(true);
    name.setItalic(true);
    painter.setFont(name);
    painter.setPen(Qt::black);
    const QRectF words(39, 5, 72, 20);
    painter.drawText(words, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Ottavario*"));

    // Eight small cells under the name, like the boxes of a slip.
    painter.setPen(QPen(Qt::black, 1));
    for (int k = 0; k < 8; ++k)
        painter.drawRect(QRectF(43.5 + k * 8, 27.5, 5, 5));
    painter.end();
    return image;
}

QImage programPicture(const QString& name)
{
    if (name == logoPictureName())
        return logoPicture();
    return {};
}

PictureSet programPictures() { return { { logoPictureName(), logoPicture() } }; }

} // namespace ottavario::print
