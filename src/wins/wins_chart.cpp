#include "wins_chart.h"

#include "wins/wins_report.h"

#include <QPaintEvent>
#include <QPainter>

namespace ottavario {

namespace {
    constexpr int kMargin = 8;
    constexpr int kBarHeight = 26;
    constexpr int kGap = 10;

    const std::array<QString, 4>& legendTexts()
    {
        static const std::array<QString, 4> texts = { QStringLiteral("8 punti"),
            QStringLiteral("7 punti"), QStringLiteral("6 punti"), QStringLiteral("nessun premio") };
        return texts;
    }

    QString title() { return QStringLiteral("Il premio migliore"); }
}

QColor bestPrizeColour(int kind)
{
    static const std::array<QColor, 4> colours = { QColor(27, 120, 55), QColor(90, 174, 97),
        QColor(190, 225, 150), QColor(225, 225, 225) };
    return colours[size_t(std::clamp(kind, 0, 3))];
}

WinsChart::WinsChart(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void WinsChart::setTables(const QStringList& captions, const std::vector<const WinTable*>& tables)
{
    m_bars.clear();
    for (size_t i = 0; i < tables.size(); ++i)
        if (tables[i])
            m_bars.push_back({ captions.value(qsizetype(i)), winnersByBestPrize(*tables[i]),
                tables[i]->winners });
    updateGeometry();
    update();
}

QSize WinsChart::minimumSizeHint() const
{
    const int line = fontMetrics().height();
    // The title, then two bars each with its shares written under it.
    return { 420, 2 * kMargin + line + 2 * (kBarHeight + line + kGap) };
}

QSize WinsChart::sizeHint() const { return { 760, minimumSizeHint().height() }; }

void WinsChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().text().color());
    painter.drawText(QRect(kMargin, kMargin, width() - 2 * kMargin, line),
        Qt::AlignLeft | Qt::AlignVCenter, title());
    painter.setFont(font());

    int captionWidth = 0;
    for (const Bar& bar : m_bars)
        captionWidth = std::max(captionWidth, metrics.horizontalAdvance(bar.caption));
    const int left = kMargin + captionWidth + kGap;
    const int barWidth = std::max(40, width() - left - kMargin);
    int top = kMargin + line + kGap / 2;
    for (const Bar& bar : m_bars) {
        painter.setPen(palette().text().color());
        painter.drawText(QRect(kMargin, top, captionWidth, kBarHeight),
            Qt::AlignLeft | Qt::AlignVCenter, bar.caption);
        double x = left;
        for (int kind = 0; kind < 4; ++kind) {
            const qint64 count = bar.byBest[size_t(kind)];
            if (!count || !bar.total)
                continue;
            const double share = double(count) / double(bar.total);
            // A prize that does come out stays visible, however rare.
            const double w = std::max(2.0, share * barWidth);
            const QRectF segment(x, top, std::min(w, left + barWidth - x), kBarHeight);
            painter.fillRect(segment, bestPrizeColour(kind));
            const QString text = winsText::percent(share);
            if (metrics.horizontalAdvance(text) + 6 < segment.width()) {
                painter.setPen(kind < 2 ? Qt::white : Qt::black);
                painter.drawText(segment, Qt::AlignCenter, text);
            }
            x += w;
        }
        painter.setPen(palette().mid().color());
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(left, top, barWidth, kBarHeight));
        top += kBarHeight + 2;

        // Under the bar, every share in words: the thin ones cannot hold theirs.
        int key = left;
        const int box = line - 6;
        for (int kind = 0; kind < 4; ++kind) {
            const double share
                = bar.total ? double(bar.byBest[size_t(kind)]) / double(bar.total) : 0;
            painter.fillRect(QRect(key, top + 3, box, box), bestPrizeColour(kind));
            painter.setPen(palette().mid().color());
            painter.drawRect(QRect(key, top + 3, box, box));
            painter.setPen(palette().text().color());
            const QString text = legendTexts()[size_t(kind)] + u' ' + winsText::percent(share);
            painter.drawText(QPoint(key + box + 4, top + metrics.ascent()), text);
            key += box + 4 + metrics.horizontalAdvance(text) + 2 * kGap;
        }
        top += line + kGap;
    }
}

} // namespace ottavario
