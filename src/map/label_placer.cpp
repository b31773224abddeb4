#include "map/label_placer.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrova {

LabelPlacer::LabelPlacer(QRectF view, double repeatDistance)
    : m_view(view), m_repeatDistance(repeatDistance), m_columns(std::max(1, int(std::ceil(view.width() / kBucket)))),
      m_rows(std::max(1, int(std::ceil(view.height() / kBucket)))), m_buckets(std::size_t(m_columns) * m_rows) {}

template <class Visit> void LabelPlacer::forBuckets(const QRectF& box, Visit visit) const {
    const int left = std::clamp(int(std::floor((box.left() - m_view.left()) / kBucket)), 0, m_columns - 1);
    const int right = std::clamp(int(std::floor((box.right() - m_view.left()) / kBucket)), 0, m_columns - 1);
    const int top = std::clamp(int(std::floor((box.top() - m_view.top()) / kBucket)), 0, m_rows - 1);
    const int bottom = std::clamp(int(std::floor((box.bottom() - m_view.top()) / kBucket)), 0, m_rows - 1);
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column)
            visit(std::size_t(row) * m_columns + column);
    }
}

void LabelPlacer::add(const QRectF& box) {
    const auto index = uint32_t(m_boxes.size());
    m_boxes.push_back(box);
    forBuckets(box, [&](std::size_t bucket) { m_buckets[bucket].push_back(index); });
}

void LabelPlacer::reserve(const QRectF& box) {
    add(box);
}

bool LabelPlacer::repeats(const QString& text, QPointF centre) const {
    const auto found = m_centres.constFind(text);
    if (found == m_centres.constEnd())
        return false;
    return std::any_of(found->begin(), found->end(),
                       [&](QPointF other) { return QLineF(other, centre).length() < m_repeatDistance; });
}

bool LabelPlacer::covered(QPointF point) const {
    bool hit = false;
    forBuckets(QRectF(point, QSizeF(0, 0)), [&](std::size_t bucket) {
        for (const uint32_t index : m_buckets[bucket])
            hit = hit || m_boxes[index].contains(point);
    });
    return hit;
}

bool LabelPlacer::fits(const QRectF& box) const {
    if (!m_view.contains(box))
        return false;
    bool free = true;
    forBuckets(box, [&](std::size_t bucket) {
        for (const uint32_t index : m_buckets[bucket])
            free = free && !m_boxes[index].intersects(box);
    });
    return free;
}

bool LabelPlacer::place(const QRectF& box, const QString& text) {
    return place(std::vector<QRectF>{box}, text, box.center());
}

bool LabelPlacer::place(const std::vector<QRectF>& boxes, const QString& text, QPointF centre) {
    if (boxes.empty() || repeats(text, centre) ||
        !std::all_of(boxes.begin(), boxes.end(), [this](const QRectF& box) { return fits(box); }))
        return false;
    for (const QRectF& box : boxes)
        add(box);
    m_centres[text].push_back(centre);
    return true;
}

QRectF LabelPlacer::boxFor(QPointF centre, double width, double height, double angle, double padding) {
    const double radians = angle * std::numbers::pi / 180;
    const double c = std::abs(std::cos(radians));
    const double s = std::abs(std::sin(radians));
    const double w = width * c + height * s + 2 * padding;
    const double h = width * s + height * c + 2 * padding;
    return QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h);
}

} // namespace kestrova
