#include "map/tile_geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kestrova {

namespace {

// Liang-Barsky: the part of the segment a-b inside the box as parameters t0 <= t1 along it, or false.
bool clipSegment(QPointF a, QPointF b, const QRectF& box, double& t0, double& t1) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1)
                return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0)
                return false;
            t1 = std::min(t1, r);
        }
    }
    return true;
}

QPointF along(QPointF a, QPointF b, double t) {
    return a + (b - a) * t;
}

// One edge of the box as a half-plane: inside(p) and the crossing of a segment with its border line.
struct Edge {
    int axis;   // 0: x, 1: y
    double at;  // the border line's coordinate
    bool below; // inside means coordinate <= at
    bool inside(QPointF p) const {
        const double v = axis == 0 ? p.x() : p.y();
        return below ? v <= at : v >= at;
    }
    QPointF cross(QPointF a, QPointF b) const {
        const double va = axis == 0 ? a.x() : a.y();
        const double vb = axis == 0 ? b.x() : b.y();
        return along(a, b, (at - va) / (vb - va));
    }
};

double squaredDistanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double length2 = QPointF::dotProduct(d, d);
    double t = length2 > 0 ? QPointF::dotProduct(p - a, d) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF off = p - along(a, b, t);
    return QPointF::dotProduct(off, off);
}

bool allInside(const Polyline& points, const QRectF& box) {
    return std::all_of(points.begin(), points.end(), [&box](QPointF p) {
        return p.x() >= box.left() && p.x() <= box.right() && p.y() >= box.top() && p.y() <= box.bottom();
    });
}

} // namespace

std::vector<Polyline> clipPolyline(const Polyline& line, const QRectF& box) {
    if (line.size() >= 2 && allInside(line, box))
        return {line};
    std::vector<Polyline> parts;
    bool joined = false; // the last part ends at the start of the next segment
    for (std::size_t i = 1; i < line.size(); ++i) {
        double t0 = 0;
        double t1 = 1;
        if (!clipSegment(line[i - 1], line[i], box, t0, t1)) {
            joined = false;
            continue;
        }
        const QPointF end = along(line[i - 1], line[i], t1);
        if (joined && t0 == 0)
            parts.back().push_back(end);
        else
            parts.push_back({along(line[i - 1], line[i], t0), end});
        joined = t1 == 1;
    }
    return parts;
}

Polyline clipRing(const Polyline& ring, const QRectF& box) {
    if (allInside(ring, box))
        return ring;
    const Edge edges[4] = {
        {0, box.left(), false}, {0, box.right(), true}, {1, box.top(), false}, {1, box.bottom(), true}};
    Polyline current = ring;
    Polyline next;
    for (const Edge& edge : edges) {
        next.clear();
        for (std::size_t i = 0; i < current.size(); ++i) {
            const QPointF& from = current[(i + current.size() - 1) % current.size()];
            const QPointF& to = current[i];
            const bool fromInside = edge.inside(from);
            const bool toInside = edge.inside(to);
            if (toInside) {
                if (!fromInside)
                    next.push_back(edge.cross(from, to));
                next.push_back(to);
            } else if (fromInside) {
                next.push_back(edge.cross(from, to));
            }
        }
        std::swap(current, next);
        if (current.empty())
            break;
    }
    return current;
}

Polyline simplifyLine(const Polyline& line, double tolerance, bool closed) {
    // A line of two points, or a ring of three, has nothing to leave out.
    if (line.size() < (closed ? 4u : 3u) || !(tolerance > 0))
        return line;
    Polyline points = line;
    if (closed)
        points.push_back(points.front());
    std::vector<bool> keep(points.size(), false);
    keep.front() = keep.back() = true;
    std::vector<std::pair<std::size_t, std::size_t>> stack{{0, points.size() - 1}};
    while (!stack.empty()) {
        const auto [first, last] = stack.back();
        stack.pop_back();
        double farthest = 0;
        std::size_t index = 0;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double distance = squaredDistanceToSegment(points[i], points[first], points[last]);
            if (distance > farthest) {
                farthest = distance;
                index = i;
            }
        }
        if (farthest > tolerance * tolerance) {
            keep[index] = true;
            stack.emplace_back(first, index);
            stack.emplace_back(index, last);
        }
    }
    Polyline kept;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (keep[i])
            kept.push_back(points[i]);
    }
    if (closed)
        kept.pop_back();
    return kept;
}

} // namespace kestrova
