#include "make-icons/panel_pictures.h"

#include "make-icons/picture_canvas.h"

namespace kestrova {

QImage drawZoomPicture(bool zoomIn) {
    QImage image = transparentCanvas(26, 26);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A light button face, so the picture stands out on any map.
    p.setPen(QPen(QColor(110, 118, 128), 1.0));
    p.setBrush(QColor(246, 248, 250));
    p.drawRoundedRect(QRectF(0.5, 0.5, 25, 25), 4, 4);
    p.setPen(QPen(QColor(55, 60, 66), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(21.5, 21.5));
    p.setPen(QPen(QColor(55, 60, 66), 2.0));
    p.setBrush(QColor(220, 238, 255));
    p.drawEllipse(QPointF(11, 11), 6.8, 6.8);
    p.setPen(QPen(QColor(25, 95, 200), 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(7.5, 11), QPointF(14.5, 11));
    if (zoomIn)
        p.drawLine(QPointF(11, 7.5), QPointF(11, 14.5));
    return image;
}

QImage drawLandmarkPicture(int kind) {
    if (kind < 1 || kind > 3)
        return {};
    QImage image = transparentCanvas(20, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(40, 40, 40), 1.0);
    p.setPen(outline);
    switch (kind) {
    case 1:
        p.setBrush(QColor(245, 230, 200));
        p.drawRect(QRectF(4.5, 9.5, 11, 8.5));
        p.setBrush(QColor(198, 40, 40));
        p.drawPolygon(QPolygonF({QPointF(2, 10), QPointF(10, 2.5), QPointF(18, 10)}));
        p.setBrush(QColor(120, 72, 35));
        p.drawRect(QRectF(8.5, 13, 3, 5));
        break;
    case 2:
        p.setBrush(QColor(84, 112, 145));
        p.drawRect(QRectF(4.5, 1.5, 11, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 236, 150));
        for (int row = 0; row < 4; ++row)
            for (qreal x : {6.5, 11.0})
                p.drawRect(QRectF(x, 3.5 + row * 3.2, 2.5, 2));
        p.setBrush(QColor(40, 40, 40));
        p.drawRect(QRectF(8.5, 15.5, 3, 3));
        break;
    default:
        p.setBrush(QColor(46, 157, 58));
        p.drawPolygon(QPolygonF({QPointF(6, 2.5), QPointF(17, 6), QPointF(6, 10)}));
        p.setPen(QPen(QColor(40, 40, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 2), QPointF(5.5, 18));
        p.setPen(outline);
        p.setBrush(QColor(120, 120, 120));
        p.drawEllipse(QPointF(5.5, 18), 3, 1.3);
        break;
    }
    return image;
}

} // namespace kestrova
