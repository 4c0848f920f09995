#pragma once

#include "wins/win_table.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

namespace ottavario {

// The colours of the best prizes, 8, 7, 6 points and none, shared by the
// chart and the tables' rows.
QColor bestPrizeColour(int kind);

// Picture1: for each table, one bar split by the best prize its winners
// give, so that the chance of each prize is seen at a glance.
class WinsChart : public QWidget {
    Q_OBJECT
public:
    explicit WinsChart(QWidget* parent = nullptr);

    // One bar a table, with its caption; none clears the chart.
    void setTables(const QStringList& captions, const std::vector<const WinTable*>& tables);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Bar {
        QString caption;
        std::array<qint64, 4> byBest {};
        qint64 total = 0;
    };
    std::vector<Bar> m_bars;
};

} // namespace ottavario
