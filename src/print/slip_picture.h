#pragma once

#include "print/slip_grid.h"

#include <QWidget>

namespace ottavario::print {

// Image1: the top of a betting slip, drawn at 20 twips a pixel with the
// picture's corner where the printable area starts, and over it the marks
// where the calibration would print them.
class SlipPicture : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 180;
    static constexpr int kHeight = 167;
    static constexpr double kTwipsPerPixel = 20;
    // The slip's first cell on the picture: the marks fall in the cells when
    // the calibration is 280 across and 1120 down.
    static constexpr QPoint kFirstCell { 14, 56 };

    explicit SlipPicture(QWidget* parent = nullptr);

    void setCalibration(const Calibration& calibration);
    const Calibration& calibration() const { return m_calibration; }

    // Where the picture draws the mark of a cell, in pixels.
    static QRectF markRect(const Calibration& calibration, int line, int row);
    // The marks shown: the first row across the slip and the first line down it.
    static QList<QPoint> shownCells();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calibration m_calibration;
};

} // namespace ottavario::print
