#pragma once

#include <QHash>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

// Collision boxes for labels: a label is placed only when its box lies inside the view, overlaps no box
// placed before it and repeats no label of the same text close by. Boxes are kept in a grid of buckets,
// so a test looks only at the boxes near it.
namespace kestrova {

class LabelPlacer {
public:
    // repeatDistance: how far apart, in pixels, two labels of the same text must be.
    LabelPlacer(QRectF view, double repeatDistance);

    // Keeps labels off a part of the view (the caption's place).
    void reserve(const QRectF& box);

    // Whether a label of this text centred here would repeat one placed before.
    bool repeats(const QString& text, QPointF centre) const;
    // Whether a box placed before covers the point: no label centred there can be placed.
    bool covered(QPointF point) const;

    // Places the label when it fits; returns whether it did.
    bool place(const QRectF& box, const QString& text);
    // Places a label made of several boxes (the characters of a label along a line), centred at centre,
    // when every box fits; returns whether it did.
    bool place(const std::vector<QRectF>& boxes, const QString& text, QPointF centre);

    // The box around a text of width × height centred on centre and turned by angle degrees, grown by
    // padding on every side.
    static QRectF boxFor(QPointF centre, double width, double height, double angle, double padding);

private:
    static constexpr double kBucket = 64;

    template <class Visit> void forBuckets(const QRectF& box, Visit visit) const;
    void add(const QRectF& box);
    bool fits(const QRectF& box) const;

    QRectF m_view;
    double m_repeatDistance;
    int m_columns;
    int m_rows;
    std::vector<QRectF> m_boxes;
    std::vector<std::vector<uint32_t>> m_buckets;
    QHash<QString, std::vector<QPointF>> m_centres;
};

} // namespace kestrova
