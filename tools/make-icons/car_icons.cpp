#include "make-icons/car_icons.h"

#include "make-icons/picture_canvas.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace kestrova {

namespace {

// Every style is drawn front up (north), centred on the origin, about 28 units long and 13 wide, so
// that it stays inside the picture at every heading.
const QColor kOutline(25, 25, 25);
const QColor kGlass(40, 44, 58);
const QColor kTyre(22, 22, 22);

void drawWheels(QPainter& p, qreal x, qreal frontY, qreal rearY, QSizeF size) {
    p.setPen(Qt::NoPen);
    p.setBrush(kTyre);
    for (qreal y : {frontY, rearY})
        for (qreal side : {-1.0, 1.0})
            p.drawRoundedRect(QRectF(side * x - size.width() / 2, y - size.height() / 2, size.width(), size.height()),
                              0.8, 0.8);
}

void drawBody(QPainter& p, const QPainterPath& body, const QColor& colour) {
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(colour);
    p.drawPath(body);
}

void fillPolygon(QPainter& p, std::initializer_list<QPointF> points, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF(points));
}

void drawFerrari(QPainter& p) {
    drawWheels(p, 6.4, -8.5, 8.0, {2.4, 5.0});
    QPainterPath body;
    body.moveTo(0, -14.5);
    body.cubicTo(4, -14.5, 6.5, -12, 6.5, -8);
    body.lineTo(6.5, 11);
    body.quadTo(6.5, 13.5, 4, 13.5);
    body.lineTo(-4, 13.5);
    body.quadTo(-6.5, 13.5, -6.5, 11);
    body.lineTo(-6.5, -8);
    body.cubicTo(-6.5, -12, -4, -14.5, 0, -14.5);
    drawBody(p, body, QColor(212, 22, 28));
    // Low canopy set back, a yellow badge on the nose, headlights, engine-cover slats, the rear wing.
    fillPolygon(p, {{-4.6, -4.5}, {4.6, -4.5}, {3.8, 3.5}, {-3.8, 3.5}}, kGlass);
    p.setBrush(QColor(255, 214, 0));
    p.drawEllipse(QPointF(0, -12.3), 1.0, 1.0);
    p.setBrush(QColor(255, 240, 170));
    p.drawEllipse(QPointF(-4.0, -11.3), 1.1, 0.8);
    p.drawEllipse(QPointF(4.0, -11.3), 1.1, 0.8);
    p.setPen(QPen(QColor(120, 8, 12), 0.8));
    for (qreal y : {6.0, 8.0, 10.0})
        p.drawLine(QPointF(-3, y), QPointF(3, y));
    p.setPen(Qt::NoPen);
    p.setBrush(kTyre);
    p.drawRect(QRectF(-6.8, 12.0, 13.6, 2.0));
}

void drawS320(QPainter& p) {
    drawWheels(p, 6.5, -8.5, 8.5, {2.4, 5.0});
    QPainterPath body;
    body.addRoundedRect(QRectF(-6.7, -14, 13.4, 28), 3.2, 3.2);
    drawBody(p, body, QColor(36, 62, 143));
    // Chrome grille, long bonnet, big glasshouse with a lighter roof, tail lights.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(205, 210, 218));
    p.drawRect(QRectF(-2.5, -14, 5, 1.3));
    p.setBrush(QColor(245, 245, 225));
    p.drawEllipse(QPointF(-4.6, -12.6), 1.3, 0.8);
    p.drawEllipse(QPointF(4.6, -12.6), 1.3, 0.8);
    p.setPen(QPen(QColor(80, 105, 185), 0.6));
    p.drawLine(QPointF(-2.5, -12), QPointF(-2.5, -6.5));
    p.drawLine(QPointF(2.5, -12), QPointF(2.5, -6.5));
    fillPolygon(p, {{-5.3, -5.8}, {5.3, -5.8}, {4.8, -2.5}, {-4.8, -2.5}}, kGlass);
    p.setBrush(QColor(64, 92, 180));
    p.drawRoundedRect(QRectF(-4.8, -2.5, 9.6, 8.5), 1.2, 1.2);
    fillPolygon(p, {{-4.8, 6.0}, {4.8, 6.0}, {5.3, 8.6}, {-5.3, 8.6}}, kGlass);
    p.setBrush(QColor(200, 20, 20));
    p.drawRect(QRectF(-6.0, 12.6, 2.2, 1.0));
    p.drawRect(QRectF(3.8, 12.6, 2.2, 1.0));
}

void drawMini(QPainter& p) {
    drawWheels(p, 6.2, -6.5, 6.5, {2.4, 4.4});
    QPainterPath body;
    body.addRoundedRect(QRectF(-6.3, -10.5, 12.6, 21), 3.8, 3.8);
    drawBody(p, body, QColor(31, 125, 58));
    // Short and round: twin bonnet stripes, round headlights, a white roof.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 245, 245));
    p.drawRect(QRectF(-2.3, -10.0, 1.2, 5.3));
    p.drawRect(QRectF(1.1, -10.0, 1.2, 5.3));
    p.setBrush(QColor(255, 244, 176));
    p.drawEllipse(QPointF(-4.0, -8.8), 1.2, 1.2);
    p.drawEllipse(QPointF(4.0, -8.8), 1.2, 1.2);
    fillPolygon(p, {{-5.0, -4.6}, {5.0, -4.6}, {4.6, -2.2}, {-4.6, -2.2}}, kGlass);
    p.setPen(QPen(QColor(150, 150, 150), 0.6));
    p.setBrush(QColor(246, 246, 246));
    p.drawRoundedRect(QRectF(-4.6, -2.2, 9.2, 8.2), 1.6, 1.6);
    fillPolygon(p, {{-4.6, 6.0}, {4.6, 6.0}, {4.9, 7.8}, {-4.9, 7.8}}, kGlass);
}

void drawCRv(QPainter& p) {
    drawWheels(p, 6.9, -8.0, 8.0, {2.8, 5.4});
    QPainterPath body;
    body.addRoundedRect(QRectF(-7, -13, 14, 25.5), 2.2, 2.2);
    drawBody(p, body, QColor(232, 131, 14));
    // Boxy: dark bumper, square headlights, a darker roof with rails, a spare wheel on the tailgate.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(-6.4, -13.3, 12.8, 1.4));
    p.setBrush(QColor(250, 245, 210));
    p.drawRect(QRectF(-6.0, -11.8, 2.4, 1.2));
    p.drawRect(QRectF(3.6, -11.8, 2.4, 1.2));
    fillPolygon(p, {{-5.7, -6.0}, {5.7, -6.0}, {5.4, -3.0}, {-5.4, -3.0}}, kGlass);
    p.setBrush(QColor(190, 100, 8));
    p.drawRect(QRectF(-5.4, -3.0, 10.8, 11.6));
    p.setPen(QPen(QColor(45, 45, 45), 1.1));
    p.drawLine(QPointF(-4.2, -2.2), QPointF(-4.2, 7.8));
    p.drawLine(QPointF(4.2, -2.2), QPointF(4.2, 7.8));
    fillPolygon(p, {{-5.4, 8.6}, {5.4, 8.6}, {5.7, 10.4}, {-5.7, 10.4}}, kGlass);
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(kTyre);
    p.drawEllipse(QPointF(0, 12.6), 2.6, 2.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 150, 150));
    p.drawEllipse(QPointF(0, 12.6), 1.1, 1.1);
}

} // namespace

QString carIconPath(const QString& model, int heading) {
    return QStringLiteral("carimage/%1/car%2.gif").arg(model).arg(heading, 3, 10, QLatin1Char('0'));
}

void paintCarTopView(QPainter& p, const QString& model) {
    if (model == QLatin1String("Ferrari"))
        drawFerrari(p);
    else if (model == QLatin1String("S320"))
        drawS320(p);
    else if (model == QLatin1String("Mini"))
        drawMini(p);
    else
        drawCRv(p);
}

QImage drawCarIcon(const QString& model, int heading) {
    QImage image = transparentCanvas(kCarIconWidth, kCarIconHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kCarIconCentreX, kCarIconCentreY);
    // Screen y points down, so a positive angle turns clockwise, as headings do.
    p.rotate(heading);
    paintCarTopView(p, model);
    p.end();
    return image;
}

} // namespace kestrova
