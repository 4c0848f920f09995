#include "slip_picture.h"

#include "print/document_renderer.h"

#include <QPainter>

namespace ottavario::print {

namespace {
    const QColor kPaper(252, 250, 242);
    const QColor kInk(34, 92, 120); // the slip's own printing
    const QColor kCellInk(120, 160, 180);
    const QColor kMarkInk(200, 30, 30, 210);

    // Twips from the printable area's corner to pixels of the picture.
    QRectF onPicture(const QRectF& twips)
    {
        const double k = SlipPicture::kTwipsPerPixel;
        return QRectF(twips.x() / k, twips.y() / k, twips.width() / k, twips.height() / k)
            .translated(SlipPicture::kPrintableCorner);
    }

    void drawHeader(QPainter& p, int width)
    {
        p.fillRect(QRect(0, 0, width, 30), kInk);
        p.setPen(Qt::white);
        QFont title = p.font();
        title.setPixelSize(11);
        title.setBold(true);
        p.setFont(title);
        p.drawText(QRect(6, 2, width - 12, 17), Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("CONCORSO PRONOSTICI"));
        QFont small = title;
        small.setPixelSize(8);
        small.setBold(false);
        p.setFont(small);
        p.drawText(QRect(6, 18, width - 12, 10), Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("8 numeri su 32 - una colonna per casella"));
    }

    void drawColumnHeadings(QPainter& p)
    {
        QFont font = p.font();
        font.setPixelSize(8);
        font.setBold(true);
        p.setFont(font);
        for (int c = 1; c <= kBetColumns; ++c) {
            const QRectF left = SlipPicture::cellRect(2 * c - 1, 1);
            const QRectF right = SlipPicture::cellRect(2 * c, 1);
            const QRectF heading(left.left(), 36, right.right() - left.left(), 11);
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawRect(heading);
            p.setPen(Qt::white);
            p.drawText(heading, Qt::AlignCenter, QString::number(c));
        }
    }

    void drawCells(QPainter& p, int height)
    {
        QFont font = p.font();
        font.setPixelSize(6);
        font.setBold(false);
        p.setFont(font);
        for (int row = 1; row <= kSlipRows; ++row) {
            for (int line = 1; line <= kSlipLines; ++line) {
                const QRectF cell = SlipPicture::cellRect(line, row);
                if (cell.top() >= height)
                    return;
                const int number = line % 2 ? row : row + kSlipRows;
                p.setPen(kCellInk);
                p.setBrush(Qt::white);
                p.drawRect(cell.adjusted(0.5, 0.5, -0.5, -0.5));
                p.drawText(cell, Qt::AlignCenter, QString::number(number));
            }
        }
    }
}

SlipPicture::SlipPicture(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setFixedSize(kWidth, kHeight);
}

void SlipPicture::setCalibration(const Calibration& calibration)
{
    if (calibration == m_calibration)
        return;
    m_calibration = calibration;
    update();
}

QRectF SlipPicture::markRect(const Calibration& calibration, int line, int row)
{
    return onPicture(handDrawnMark().translated(cellPosition(calibration, line, row)));
}

QRectF SlipPicture::cellRect(int line, int row)
{
    // The oval of a mark printed at offsets 0 and 0 sits in the cell's middle.
    const QPointF centre = handDrawnMark().center() + QPointF(cellPosition({}, line, row));
    return onPicture(QRectF(centre.x() - 115, centre.y() - 100, 230, 200));
}

QList<QPoint> SlipPicture::shownCells()
{
    QList<QPoint> cells;
    for (int line = 1; line <= kSlipLines; ++line)
        cells.append({ line, 1 });
    for (int row = 2; row <= kSlipRows; ++row)
        cells.append({ 1, row });
    return cells;
}

void SlipPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), kPaper);
    drawHeader(p, width());
    drawColumnHeadings(p);
    drawCells(p, height());
    p.setPen(Qt::NoPen);
    p.setBrush(kMarkInk);
    for (const QPoint& cell : shownCells())
        p.drawEllipse(markRect(m_calibration, cell.x(), cell.y()));
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace ottavario::print
