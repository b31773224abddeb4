#include "make-icons/splash_picture.h"

#include "make-icons/car_icons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kestrova {

QImage drawSplashPicture() {
    QImage image(kSplashWidth, kSplashHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, kSplashWidth, kSplashHeight);
    sky.setColorAt(0, QColor(18, 52, 96));
    sky.setColorAt(1, QColor(16, 110, 120));
    p.fillRect(image.rect(), sky);

    // Streets: a loose grid with one diagonal avenue.
    p.setPen(QPen(QColor(255, 255, 255, 40), 7));
    for (int x = 40; x < kSplashWidth; x += 90)
        p.drawLine(x, 0, x + 30, kSplashHeight);
    for (int y = 30; y < kSplashHeight; y += 70)
        p.drawLine(0, y, kSplashWidth, y - 20);
    p.setPen(QPen(QColor(255, 255, 255, 60), 12));
    p.drawLine(-20, kSplashHeight + 10, kSplashWidth + 20, 40);

    // The vehicle's route, reported points on it, and the vehicle at its head.
    QPainterPath route;
    route.moveTo(30, 270);
    route.cubicTo(120, 250, 150, 170, 240, 165);
    route.cubicTo(300, 162, 330, 120, 372, 88);
    QPen routePen(QColor(255, 214, 0), 4, Qt::DashLine, Qt::RoundCap);
    p.setPen(routePen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(route);
    p.setPen(QPen(QColor(120, 90, 0), 1.5));
    p.setBrush(QColor(255, 214, 0));
    for (qreal t : {0.0, 0.25, 0.5, 0.75})
        p.drawEllipse(route.pointAtPercent(t), 5, 5);
    p.save();
    p.translate(390, 72);
    p.rotate(53);
    p.scale(2.6, 2.6);
    paintCarTopView(p, QStringLiteral("Ferrari"));
    p.restore();

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(58);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(33, 98), QStringLiteral("Kestrova"));
    p.setPen(Qt::white);
    p.drawText(QPointF(30, 95), QStringLiteral("Kestrova"));
    p.end();
    return image;
}

} // namespace kestrova
