#pragma once

#include "print/slip_grid.h"

#include <QWidget>

namespace ottavario::print {

// Image1: the top of a betting slip, drawn at 20 twips a pixel, and over it
// the marks where the calibration would print them. Slip and marks share one
// geometry: the printable area starts at the slip's first cell, so at offsets
// 0 and 0 the marks stand in the cells, and the offsets move them as they
// move the printed marks.
class SlipPicture : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 180;
    static constexpr int kHeight = 167;
    static constexpr double kTwipsPerPixel = 20;
    // Where the printable area starts on the picture: the slip's first cell,
    // below the slip's header and the headings of its columns.
    static constexpr QPoint kPrintableCorner { 14, 56 };

    explicit SlipPicture(QWidget* parent = nullptr);

    void setCalibration(const Calibration& calibration);
    const Calibration& calibration() const { return m_calibration; }

    // Where the picture draws the mark of a cell, in pixels.
    static QRectF markRect(const Calibration& calibration, int line, int row);
    // Where the picture draws a cell of the slip, in pixels.
    static QRectF cellRect(int line, int row);
    // The marks shown: the first row across the slip and the first line down it.
    static QList<QPoint> shownCells();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calibration m_calibration;
};

} // namespace ottavario::print
