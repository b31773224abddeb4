#include "make-icons/toolbar_pictures.h"

#include "make-icons/picture_canvas.h"

#include <QPainterPath>
#include <QtMath>

namespace kestrova {

namespace {

const QColor kInk(50, 54, 60);
const QColor kGreen(46, 157, 58);
const QColor kBlue(30, 100, 200);
const QColor kRed(211, 47, 47);

QPen inkPen(qreal width, const QColor& colour = kInk) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPointF onCircle(QPointF centre, qreal radius, qreal degrees) {
    const qreal a = qDegreesToRadians(degrees);
    return centre + QPointF(radius * qCos(a), -radius * qSin(a));
}

// An arc from startDegrees through spanDegrees (counter-clockwise for a positive span, as Qt measures)
// with an arrowhead at its end.
void drawArrowArc(QPainter& p, QPointF centre, qreal radius, qreal startDegrees, qreal spanDegrees,
                  const QColor& colour) {
    QPainterPath arc;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    arc.arcMoveTo(box, startDegrees);
    arc.arcTo(box, startDegrees, spanDegrees);
    p.setPen(QPen(colour, 3.0, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);

    const qreal end = startDegrees + spanDegrees;
    const QPointF tip = onCircle(centre, radius, end);
    const qreal a = qDegreesToRadians(end);
    const qreal sign = spanDegrees >= 0 ? 1.0 : -1.0;
    const QPointF along(-qSin(a) * sign, -qCos(a) * sign);
    const QPointF across(qCos(a), -qSin(a));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({tip + along * 4.0, tip + across * 4.0, tip - across * 4.0}));
}

void drawSearch(QPainter& p) {
    p.setPen(inkPen(5.0, QColor(107, 74, 43)));
    p.drawLine(QPointF(20, 20), QPointF(28, 28));
    p.setPen(inkPen(3.0));
    p.setBrush(QColor(205, 232, 255));
    p.drawEllipse(QPointF(13, 13), 9, 9);
    p.setPen(inkPen(1.6, Qt::white));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 8, 10, 10), 100 * 16, 70 * 16);
}

void drawSideCar(QPainter& p, QPointF at, const QColor& colour) {
    p.setPen(inkPen(1.0));
    p.setBrush(colour);
    QPainterPath body;
    body.moveTo(at + QPointF(0, 4));
    body.lineTo(at + QPointF(0, 1));
    body.lineTo(at + QPointF(3, 0.5));
    body.lineTo(at + QPointF(5.5, -3.5));
    body.lineTo(at + QPointF(12, -3.5));
    body.lineTo(at + QPointF(15, 0.5));
    body.lineTo(at + QPointF(17, 1));
    body.lineTo(at + QPointF(17, 4));
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(190, 225, 250));
    p.drawPolygon(
        QPolygonF({at + QPointF(6, -2.5), at + QPointF(11.5, -2.5), at + QPointF(13.5, 0.5), at + QPointF(4.3, 0.5)}));
    p.setBrush(QColor(25, 25, 25));
    p.drawEllipse(at + QPointF(4, 4.5), 2.2, 2.2);
    p.drawEllipse(at + QPointF(13, 4.5), 2.2, 2.2);
}

void drawSheet(QPainter& p, const QRectF& sheet) {
    p.setPen(inkPen(1.0, QColor(90, 96, 104)));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
}

void drawManagement(QPainter& p) {
    drawSheet(p, QRectF(4.5, 2.5, 18, 24));
    p.setPen(inkPen(1.5, QColor(150, 156, 164)));
    for (qreal y : {8.0, 12.0, 16.0})
        p.drawLine(QPointF(8, y), QPointF(19, y));
    drawSideCar(p, QPointF(13, 24), QColor(47, 95, 191));
}

void drawAutomatic(QPainter& p) {
    const QPointF centre(16, 16);
    drawArrowArc(p, centre, 11, 110, 140, kGreen);
    drawArrowArc(p, centre, 11, 290, 140, kGreen);
    p.setPen(inkPen(1.0));
    p.setBrush(kRed);
    p.drawEllipse(centre, 3.5, 3.5);
}

QPainterPath handsetPath() {
    // A classic handset: earpiece at the upper left, mouthpiece at the lower right.
    QPainterPath path;
    path.moveTo(6, 4);
    path.lineTo(11, 3);
    path.lineTo(13.5, 9.5);
    path.lineTo(10.5, 12);
    path.cubicTo(12, 16, 15, 19.5, 19.5, 21.5);
    path.lineTo(22, 18.5);
    path.lineTo(28.5, 21);
    path.lineTo(27.5, 26);
    path.cubicTo(15, 28, 4, 17, 6, 4);
    path.closeSubpath();
    return path;
}

void drawManualCall(QPainter& p) {
    p.setPen(inkPen(1.0));
    p.setBrush(QColor(60, 66, 76));
    p.drawPath(handsetPath());
    // One vehicle aimed at.
    p.setPen(inkPen(1.6, kBlue));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(24, 8), 5, 5);
    p.drawLine(QPointF(24, 1.5), QPointF(24, 4.5));
    p.drawLine(QPointF(24, 11.5), QPointF(24, 14.5));
    p.drawLine(QPointF(17.5, 8), QPointF(20.5, 8));
    p.drawLine(QPointF(27.5, 8), QPointF(30.5, 8));
}

void drawInterrupt(QPainter& p) {
    QPolygonF octagon;
    for (int k = 0; k < 8; ++k)
        octagon << onCircle(QPointF(16, 16), 14, 22.5 + 45 * k);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(kRed);
    p.drawPolygon(octagon);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 13.5, 16, 5));
}

void drawTrackQuery(QPainter& p) {
    const QPolygonF route({QPointF(5, 27), QPointF(11, 18), QPointF(18, 21), QPointF(23, 12), QPointF(26, 8)});
    QPen dashed(kBlue, 2.4, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin);
    dashed.setDashPattern({1.5, 1.0});
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(route);
    p.setPen(inkPen(1.2, kBlue));
    p.setBrush(Qt::white);
    for (int i = 1; i < route.size() - 1; ++i)
        p.drawEllipse(route[i], 2.2, 2.2);
    p.setBrush(kGreen);
    p.drawEllipse(route.first(), 2.8, 2.8);
    // Flag at the end of the route.
    p.setPen(inkPen(1.6));
    p.drawLine(QPointF(26, 9), QPointF(26, 1.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawPolygon(QPolygonF({QPointF(26.5, 1.5), QPointF(31, 3.5), QPointF(26.5, 5.5)}));
}

void drawPin(QPainter& p, QPointF tip, qreal radius) {
    QPainterPath pin;
    pin.moveTo(tip);
    pin.cubicTo(tip + QPointF(-radius * 0.4, -radius), tip + QPointF(-radius * 1.4, -radius * 1.6),
                tip + QPointF(-radius, -radius * 2.3));
    pin.arcTo(QRectF(tip.x() - radius, tip.y() - radius * 3.3, 2 * radius, 2 * radius), 180, -180);
    pin.cubicTo(tip + QPointF(radius * 1.4, -radius * 1.6), tip + QPointF(radius * 0.4, -radius), tip);
    p.setPen(inkPen(1.0, QColor(120, 20, 20)));
    p.setBrush(kRed);
    p.drawPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(tip + QPointF(0, -radius * 2.3), radius * 0.4, radius * 0.4);
}

void drawRealTime(QPainter& p) {
    const QColor light(232, 243, 216);
    const QColor dark(210, 232, 190);
    const QPointF top[] = {{3, 7}, {12, 4}, {20, 7}, {29, 4}};
    const QPointF bottom[] = {{3, 28}, {12, 25}, {20, 28}, {29, 25}};
    p.setPen(inkPen(1.0, QColor(110, 120, 100)));
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i % 2 ? dark : light);
        p.drawPolygon(QPolygonF({top[i], top[i + 1], bottom[i + 1], bottom[i]}));
    }
    p.setPen(inkPen(2.0, QColor(240, 180, 60)));
    p.drawLine(QPointF(4, 21), QPointF(28, 14));
    drawPin(p, QPointF(16, 20), 4.2);
}

void drawSettings(QPainter& p) {
    const QPointF centre(16, 16);
    QPolygonF outline;
    for (int k = 0; k < 8; ++k) {
        const qreal a = 45.0 * k;
        outline << onCircle(centre, 10, a - 15) << onCircle(centre, 14, a - 8) << onCircle(centre, 14, a + 8)
                << onCircle(centre, 10, a + 15);
    }
    QPainterPath gear;
    gear.addPolygon(outline);
    gear.closeSubpath();
    gear.addEllipse(centre, 4.5, 4.5);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(inkPen(1.0));
    p.setBrush(QColor(123, 135, 148));
    p.drawPath(gear);
}

void drawExit(QPainter& p) {
    p.setPen(inkPen(1.0));
    p.setBrush(QColor(90, 60, 35));
    p.drawRect(QRectF(4.5, 2.5, 17, 27));
    p.setBrush(QColor(160, 105, 55));
    p.drawPolygon(QPolygonF({QPointF(6, 4), QPointF(15, 6), QPointF(15, 30), QPointF(6, 28)}));
    p.setBrush(QColor(255, 210, 0));
    p.drawEllipse(QPointF(13, 17), 1.2, 1.2);
    p.setPen(inkPen(3.0, kGreen));
    p.drawLine(QPointF(17, 16), QPointF(25, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF({QPointF(31, 16), QPointF(24, 10.5), QPointF(24, 21.5)}));
}

void drawPrint(QPainter& p) {
    drawSheet(p, QRectF(9.5, 3.5, 13, 9));
    p.setPen(inkPen(1.0));
    p.setBrush(QColor(111, 119, 128));
    p.drawRoundedRect(QRectF(3.5, 11.5, 25, 12), 2, 2);
    drawSheet(p, QRectF(9.5, 19.5, 13, 10));
    p.setPen(inkPen(1.2, QColor(150, 156, 164)));
    p.drawLine(QPointF(12, 23), QPointF(20, 23));
    p.drawLine(QPointF(12, 26), QPointF(20, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 220, 90));
    p.drawEllipse(QPointF(24.5, 15), 1.5, 1.5);
}

void drawDial(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(20, 90, 30)));
    p.setBrush(kGreen);
    p.drawPath(handsetPath());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap));
    for (qreal radius : {5.0, 9.5})
        p.drawArc(QRectF(19 - radius, 12 - radius, 2 * radius, 2 * radius), 5 * 16, 80 * 16);
}

void drawAbout(QPainter& p) {
    p.setPen(inkPen(1.0, QColor(15, 70, 150)));
    p.setBrush(QColor(30, 111, 217));
    p.drawEllipse(QPointF(16, 16), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9.5), 2.4, 2.4);
    p.drawRoundedRect(QRectF(13.8, 13.5, 4.4, 11.5), 1, 1);
}

void drawShowList(QPainter& p) {
    drawSheet(p, QRectF(3.5, 3.5, 25, 25));
    for (qreal y : {8.0, 14.0, 20.0}) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(7, y, 4, 4));
        p.setPen(inkPen(2.0, QColor(90, 96, 104)));
        p.drawLine(QPointF(14, y + 2), QPointF(25, y + 2));
    }
}

} // namespace

QImage drawToolbarPicture(int number) {
    using Draw = void (*)(QPainter&);
    static constexpr Draw kDrawings[kToolbarPictureCount] = {
        drawSearch,   drawManagement, drawAutomatic, drawManualCall, drawInterrupt, drawTrackQuery, drawRealTime,
        drawSettings, drawExit,       drawPrint,     drawDial,       drawAbout,     drawShowList};
    if (number < 1 || number > kToolbarPictureCount)
        return {};
    QImage image = transparentCanvas(kToolbarPictureSize, kToolbarPictureSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    kDrawings[number - 1](p);
    return image;
}

} // namespace kestrova
