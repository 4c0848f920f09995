#include "document_renderer.h"

#include "print/logo_picture.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>

namespace ottavario::print {

namespace {
    constexpr double kTwipsPerInch = 1440;
    constexpr double kTwipsPerPicturePixel = 15; // a picture's pixel at 96 dpi
    constexpr int kPdfResolution = 1200;

    QFont fontOf(const PrintFont& wanted)
    {
        QFont font(wanted.family);
        // The painter's unit is the twip and a point is 20 of them.
        font.setPixelSize(qMax(1, qRound(wanted.points * 20)));
        font.setBold(wanted.bold);
        font.setItalic(wanted.italic);
        // Printers place glyph after glyph; a kerned "11" would pull the
        // rest of a line laid out with spaces out of its columns.
        font.setKerning(false);
        return font;
    }

    // Fontconfig hands any family it lacks to some other face; a mark in that
    // face would be a plain parenthesis.
    bool hasFamily(const QFont& font)
    {
        static QHash<QString, bool> known;
        const auto found = known.constFind(font.family());
        if (found != known.constEnd())
            return *found;
        const QFontInfo info(font);
        const bool exact = info.family().compare(font.family(), Qt::CaseInsensitive) == 0;
        known.insert(font.family(), exact);
        return exact;
    }

    void drawText(QPainter& painter, const PrintItem& item)
    {
        const QFont font = fontOf(item.font);
        painter.setFont(font);
        painter.setPen(Qt::black);
        constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        // An item without a width (a size of -1 included) takes what it needs.
        const double room = item.size.width();
        const double width = room > 0 ? QFontMetricsF(font).horizontalAdvance(item.text) : 0;
        if (width <= std::max(room, 0.0)) {
            painter.drawText(QRectF(item.position, QSizeF(0, 0)), flags, item.text);
            return;
        }
        painter.save();
        painter.translate(item.position);
        painter.scale(room / width, 1);
        painter.drawText(QRectF(0, 0, 0, 0), flags, item.text);
        painter.restore();
    }

    void drawMark(QPainter& painter, const PrintItem& item)
    {
        const QFont font = fontOf(item.font);
        if (hasFamily(font)) {
            drawText(painter, item);
            return;
        }
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawEllipse(handDrawnMark().translated(item.position));
        painter.restore();
    }

    void drawBar(QPainter& painter, const PrintItem& item)
    {
        painter.save();
        painter.setPen(QPen(Qt::black, 10));
        painter.setBrush(QColor(170, 170, 170));
        painter.drawRect(QRect(item.position, item.size));
        painter.restore();
    }

    void drawPicture(QPainter& painter, const PrintItem& item, const PictureSet& pictures)
    {
        QImage image = pictures.value(item.text);
        if (image.isNull())
            image = programPicture(item.text);
        if (image.isNull())
            return;
        const QSizeF size = item.size.isEmpty() ? QSizeF(image.size()) * kTwipsPerPicturePixel
                                                : QSizeF(item.size);
        painter.drawImage(QRectF(item.position, size), image);
    }
}

QFont printerFont(const PrintFont& font) { return fontOf(font); }

QRectF handDrawnMark() { return QRectF(20, 20, 120, 160); }

void paintPage(QPainter& painter, const PrintPage& page, const PictureSet& pictures)
{
    for (const PrintItem& item : page.items) {
        switch (item.kind) {
        case ItemKind::Mark:
            drawMark(painter, item);
            break;
        case ItemKind::Text:
            drawText(painter, item);
            break;
        case ItemKind::Picture:
            drawPicture(painter, item, pictures);
            break;
        case ItemKind::Bar:
            drawBar(painter, item);
            break;
        }
    }
}

bool renderDocument(
    QPagedPaintDevice& device, const PrintDocument& document, const PictureSet& pictures)
{
    if (document.pages.isEmpty())
        return true;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scaleX = device.logicalDpiX() / kTwipsPerInch;
    const double scaleY = device.logicalDpiY() / kTwipsPerInch;
    for (qsizetype i = 0; i < document.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.scale(scaleX, scaleY);
        // A printer prints nothing outside its printable area; a PDF would.
        painter.setClipRect(QRectF(0, 0, device.width() / scaleX, device.height() / scaleY));
        paintPage(painter, document.pages[i], pictures);
        painter.restore();
    }
    return painter.end();
}

QPageLayout defaultPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
        QPageLayout::Point);
}

FileResult<void> renderToPdfFile(const QString& path, const PrintDocument& document,
    const QPageLayout& layout, const PictureSet& pictures)
{
    if (document.pages.isEmpty())
        return std::unexpected(FileError { path, QStringLiteral("non c'è nulla da stampare") });
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo folder(QFileInfo(path).absolutePath());
        return std::unexpected(FileError { path,
            folder.isDir() ? describe(file.error())
                           : QStringLiteral("la cartella %1 non esiste").arg(folder.filePath()) });
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(layout);
        writer.setTitle(document.name);
        writer.setCreator(QStringLiteral("Ottavario*"));
        painted = renderDocument(writer, document, pictures);
    }
    if (!painted || file.error() != QFileDevice::NoError) {
        const QString reason = file.error() != QFileDevice::NoError
            ? describe(file.error())
            : QStringLiteral("le pagine non si possono disegnare");
        file.cancelWriting();
        return std::unexpected(FileError { path, reason });
    }
    if (!file.commit())
        return std::unexpected(FileError { path, describe(file.error()) });
    return {};
}

} // namespace ottavario::print
