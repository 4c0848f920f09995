// Draws the command buttons' pictures into src/mainwin/icons, where the
// program takes them from its resources. Run after changing a picture:
//   build/tools/draw_icons src/mainwin/icons
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cstdio>
#include <functional>

namespace {
void drawPage(QPainter& p)
{
    QPainterPath page;
    page.moveTo(7, 3);
    page.lineTo(19, 3);
    page.lineTo(25, 9);
    page.lineTo(25, 29);
    page.lineTo(7, 29);
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.drawPath(page);
    p.drawLine(QPointF(19, 3), QPointF(19, 9));
    p.drawLine(QPointF(19, 9), QPointF(25, 9));
}

void drawFolder(QPainter& p)
{
    p.setPen(QPen(QColor(140, 100, 20), 1.5));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(3, 9, 26, 18));
    p.setBrush(QColor(250, 220, 120));
    QPainterPath flap;
    flap.moveTo(3, 27);
    flap.lineTo(8, 14);
    flap.lineTo(31, 14);
    flap.lineTo(29, 27);
    flap.closeSubpath();
    p.drawPath(flap);
    p.drawRect(QRectF(3, 6, 9, 3));
}

void drawDisk(QPainter& p)
{
    p.setPen(QPen(QColor(20, 40, 90), 1.5));
    p.setBrush(QColor(50, 90, 170));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(9, 18, 14, 10));
    p.setBrush(QColor(20, 40, 90));
    p.drawRect(QRectF(18, 6, 3, 5));
}

void drawArrows(QPainter& p)
{
    p.setPen(QPen(QColor(20, 120, 40), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(5, 11), QPointF(25, 11));
    p.drawLine(QPointF(19, 5), QPointF(25, 11));
    p.drawLine(QPointF(19, 17), QPointF(25, 11));
    p.setPen(QPen(QColor(170, 40, 30), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(27, 22), QPointF(7, 22));
    p.drawLine(QPointF(13, 16), QPointF(7, 22));
    p.drawLine(QPointF(13, 28), QPointF(7, 22));
}

void drawCalculator(QPainter& p)
{
    p.setPen(QPen(QColor(50, 50, 50), 1.5));
    p.setBrush(QColor(225, 225, 215));
    p.drawRoundedRect(QRectF(6, 2, 20, 28), 2, 2);
    p.setBrush(QColor(160, 200, 160));
    p.drawRect(QRectF(9, 5, 14, 6));
    p.setBrush(QColor(80, 80, 80));
    p.setPen(Qt::NoPen);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRect(QRectF(9 + c * 5, 14 + r * 5, 3.5, 3.5));
}

void drawPrinter(QPainter& p)
{
    p.setPen(QPen(QColor(50, 50, 50), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawLine(QPointF(11, 23), QPointF(21, 23));
    p.drawLine(QPointF(11, 26), QPointF(19, 26));
}

void drawCheck(QPainter& p)
{
    drawPage(p);
    p.setPen(QPen(QColor(20, 130, 40), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(10, 17), QPointF(15, 23));
    p.drawLine(QPointF(15, 23), QPointF(27, 8));
}

void drawFunnel(QPainter& p)
{
    QPainterPath funnel;
    funnel.moveTo(3, 5);
    funnel.lineTo(29, 5);
    funnel.lineTo(19, 17);
    funnel.lineTo(19, 28);
    funnel.lineTo(13, 24);
    funnel.lineTo(13, 17);
    funnel.closeSubpath();
    p.setPen(QPen(QColor(30, 60, 120), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(90, 150, 220));
    p.drawPath(funnel);
    p.setPen(QPen(QColor(230, 240, 255), 1.5));
    p.drawLine(QPointF(7, 8), QPointF(25, 8));
}

// Three bars of falling height: how often each prize comes out.
void drawWins(QPainter& p)
{
    p.setPen(QPen(QColor(50, 50, 50), 1.5));
    p.drawLine(QPointF(3, 29), QPointF(29, 29));
    p.setPen(QPen(QColor(20, 80, 40), 1.2));
    const QColor fills[] = { QColor(27, 120, 55), QColor(90, 174, 97), QColor(190, 225, 150) };
    const double heights[] = { 9, 16, 23 };
    for (int i = 0; i < 3; ++i) {
        p.setBrush(fills[i]);
        p.drawRect(QRectF(5 + i * 8.5, 28 - heights[i], 6.5, heights[i]));
    }
}
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: draw_icons CARTELLA\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::pair<const char*, std::function<void(QPainter&)>> pictures[] = {
        { "nuovo", drawPage },
        { "apri", drawFolder },
        { "salva", drawDisk },
        { "importa", drawArrows },
        { "calcolo", drawCalculator },
        { "stampa", drawPrinter },
        { "spoglio", drawCheck },
        { "condizioni", drawFunnel },
        { "vincite", drawWins },
    };
    for (const auto& [name, draw] : pictures) {
        for (int size : { 16, 24, 32, 48 }) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size / 32.0, size / 32.0);
            draw(p);
            p.end();
            const QString path
                = QStringLiteral("%1/%2-%3.png").arg(folder).arg(QLatin1StringView(name)).arg(size);
            if (!pixmap.save(path)) {
                std::fprintf(stderr, "%s: non scritto\n", qPrintable(path));
                return 2;
            }
        }
    }
    return 0;
}
