#include "make-icons/record_toolbar_pictures.h"

#include "make-icons/picture_canvas.h"
#include "make-icons/toolbar_pictures.h"

#include <QPainterPath>

namespace kestrova {

namespace {

// Drawn on the main tool bar's 32-pixel grid, then scaled down.
constexpr int kDrawingSize = 32;

const QColor kInk(50, 54, 60);
const QColor kGreen(46, 157, 58);
const QColor kBlue(30, 100, 200);
const QColor kRed(211, 47, 47);

QPen pen(qreal width, const QColor& colour) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawNew(QPainter& p) {
    p.setPen(pen(1.5, QColor(90, 96, 104)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 2.5, 18, 25));
    p.setPen(pen(5.0, kGreen));
    p.drawLine(QPointF(23, 15), QPointF(23, 29));
    p.drawLine(QPointF(16, 22), QPointF(30, 22));
}

void drawAmend(QPainter& p) {
    QPainterPath pencil;
    pencil.moveTo(6, 26);
    pencil.lineTo(8, 19);
    pencil.lineTo(22, 5);
    pencil.lineTo(27, 10);
    pencil.lineTo(13, 24);
    pencil.closeSubpath();
    p.setPen(pen(1.5, kInk));
    p.setBrush(QColor(245, 190, 50));
    p.drawPath(pencil);
    p.setPen(pen(4.0, kInk));
    p.drawLine(QPointF(5, 27), QPointF(6.5, 25.5));
    p.setPen(pen(2.0, QColor(60, 60, 60)));
    p.drawLine(QPointF(3, 30), QPointF(29, 30));
}

void drawDelete(QPainter& p) {
    p.setPen(pen(7.0, kRed));
    p.drawLine(QPointF(7, 7), QPointF(25, 25));
    p.drawLine(QPointF(25, 7), QPointF(7, 25));
}

void drawCancel(QPainter& p) {
    QPainterPath turn;
    turn.moveTo(12, 10);
    turn.lineTo(20, 10);
    turn.cubicTo(30, 10, 30, 26, 20, 26);
    turn.lineTo(9, 26);
    p.setPen(pen(4.0, kBlue));
    p.setBrush(Qt::NoBrush);
    p.drawPath(turn);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(3, 10), QPointF(13, 2), QPointF(13, 18)}));
}

void drawWrite(QPainter& p) {
    p.setPen(pen(1.5, kInk));
    p.setBrush(QColor(40, 80, 160));
    p.drawRect(QRectF(4, 4, 24, 24));
    p.setBrush(QColor(220, 225, 230));
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 17, 16, 11));
}

// A solid arrow pointing left or right, with a bar at its tip for the first and last buttons.
void drawStep(QPainter& p, bool right, bool bar) {
    const qreal tip = right ? 24 : 8;
    const qreal base = right ? 10 : 22;
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(tip, 16), QPointF(base, 5), QPointF(base, 27)}));
    if (bar) {
        p.setBrush(kInk);
        p.drawRect(QRectF(right ? 25 : 3, 5, 4, 22));
    }
}

QImage scaledDown(const QImage& drawing) {
    return drawing.scaled(kRecordToolbarPictureSize, kRecordToolbarPictureSize, Qt::IgnoreAspectRatio,
                          Qt::SmoothTransformation);
}

} // namespace

QImage drawRecordToolbarPicture(int number) {
    // Find, refresh, print and leave look as they do in the main tool bar.
    switch (number) {
    case 6:
        return scaledDown(drawToolbarPicture(1));
    case 11:
        return scaledDown(drawToolbarPicture(3));
    case 12:
        return scaledDown(drawToolbarPicture(10));
    case 13:
        return scaledDown(drawToolbarPicture(9));
    default:
        break;
    }
    if (number < 1 || number > kRecordToolbarPictureCount) {
        return {};
    }
    QImage image = transparentCanvas(kDrawingSize, kDrawingSize);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        switch (number) {
        case 1:
            drawNew(p);
            break;
        case 2:
            drawAmend(p);
            break;
        case 3:
            drawDelete(p);
            break;
        case 4:
            drawCancel(p);
            break;
        case 5:
            drawWrite(p);
            break;
        default:
            // 7 first, 8 previous, 9 next, 10 last.
            drawStep(p, number >= 9, number == 7 || number == 10);
            break;
        }
    }
    return scaledDown(image);
}

} // namespace kestrova
