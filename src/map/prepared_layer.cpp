#include "map/prepared_layer.h"

#include "map/line_label.h"

#include <cmath>
#include <map>
#include <numbers>

namespace kestrova {

namespace {

// What is drawn of a tile: its square and a margin around it, a sixteenth of the tile (16 pixels at the
// tile's own zoom level) that holds half the widest line with its joins; the rest belongs to the
// neighbours. Detail below a quarter pixel at that level is left out.
constexpr double kMarginPerExtent = 1.0 / 16;
constexpr double kTolerancePerExtent = 1.0 / 1024;
// Path elements beyond which a feature starts a new path. Areas and joined lines rasterise fastest in
// small paths; separate segments take another, cheaper way through the painter and may share larger ones.
constexpr int kPathElements = 48;
constexpr int kSegmentPathElements = 1024;

struct DrawnArea {
    QRectF box;
    double tolerance;
};

DrawnArea drawnArea(uint32_t extent) {
    const double margin = extent * kMarginPerExtent;
    return {QRectF(-margin, -margin, extent + 2 * margin, extent + 2 * margin), extent * kTolerancePerExtent};
}

Polyline partPoints(const TileLayer& layer, uint32_t part) {
    Polyline points;
    points.reserve(layer.partEnds[part] - layer.partBegin(part) + 1); // room to close a ring
    for (uint32_t i = layer.partBegin(part); i < layer.partEnds[part]; ++i)
        points.emplace_back(layer.points[i].x, layer.points[i].y);
    return points;
}

// The path that the next feature goes into: a new one when the last is full.
QPainterPath& currentPath(PreparedLayer& prepared) {
    const int limit = prepared.segments ? kSegmentPathElements : kPathElements;
    if (prepared.paths.empty() || prepared.paths.back().elementCount() >= limit) {
        prepared.paths.emplace_back();
        prepared.paths.back().setFillRule(Qt::WindingFill);
        prepared.paths.back().reserve(limit);
    }
    return prepared.paths.back();
}

void addPolyline(QPainterPath& path, const Polyline& points, bool closed) {
    path.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    if (closed)
        path.closeSubpath();
}

void addSegments(QPainterPath& path, const Polyline& points) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        path.moveTo(points[i - 1]);
        path.lineTo(points[i]);
    }
}

// Polygons as filled areas: each ring cut to the drawn area and thinned; rings that vanish are left out.
void addAreas(PreparedLayer& prepared, const TileLayer& layer, const TileFeature& feature, const DrawnArea& area) {
    QPainterPath& path = currentPath(prepared);
    for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
        const Polyline ring = simplifyLine(clipRing(partPoints(layer, part), area.box), area.tolerance, true);
        if (ring.size() >= 3)
            addPolyline(path, ring, true);
    }
}

// Lines, and the outlines of polygons, as strokes: cut to the drawn area and thinned.
void addStrokes(PreparedLayer& prepared, const TileLayer& layer, const TileFeature& feature, const DrawnArea& area) {
    QPainterPath& path = currentPath(prepared);
    for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
        Polyline points = partPoints(layer, part);
        if (feature.type == GeometryType::Polygon && !points.empty())
            points.push_back(points.front());
        for (const Polyline& piece : clipPolyline(points, area.box)) {
            const Polyline thinned = simplifyLine(piece, area.tolerance);
            if (prepared.segments)
                addSegments(path, thinned);
            else
                addPolyline(path, thinned, false);
        }
    }
}

// A line layer whose colour never shows what lies under it and that has no dashes.
bool drawnAsSegments(const StyleLayer& style) {
    return style.type == StyleLayerType::Line && style.lineDashes.empty() && style.color.isConstant() &&
           style.color.at(0).a >= 1 && style.opacity.isConstant() && style.opacity.at(0) >= 1;
}

// The label of a line placed at a point: the middle of the line's longest segment.
std::optional<LabelCandidate> lineLabel(const TileLayer& layer, const TileFeature& feature) {
    double best = 0;
    LabelCandidate label;
    for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
        for (uint32_t i = layer.partBegin(part) + 1; i < layer.partEnds[part]; ++i) {
            const TilePoint& a = layer.points[i - 1];
            const TilePoint& b = layer.points[i];
            const double dx = double(b.x) - a.x;
            const double dy = double(b.y) - a.y;
            const double length = std::hypot(dx, dy);
            if (length <= best)
                continue;
            best = length;
            label.anchor = QPointF((double(a.x) + b.x) / 2, (double(a.y) + b.y) / 2);
        }
    }
    if (best <= 0)
        return std::nullopt;
    return label;
}

double rankOf(const TileLayer& layer, const TileFeature& feature) {
    const TileValue* rank = layer.attribute(feature, "rank");
    return rank && rank->kind == TileValue::Kind::Number && std::isfinite(rank->number) ? rank->number : 1e9;
}

struct NamedLines {
    double rank = 1e9;
    std::vector<Polyline> lines;
};

void addLabels(PreparedLayer& prepared, std::map<QString, NamedLines>& named, const StyleLayer& style,
               const TileLayer& layer, const TileFeature& feature) {
    if (feature.type == GeometryType::Polygon)
        return;
    const QString text = expandTextField(style.textField, layer, feature);
    if (text.isEmpty())
        return;
    const double rank = rankOf(layer, feature);
    if (feature.type == GeometryType::Point) {
        for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
            const TilePoint& point = layer.points[layer.partBegin(part)];
            prepared.labels.push_back({text, QPointF(point.x, point.y), rank});
        }
        return;
    }
    if (style.linePlacement) {
        NamedLines& lines = named[text];
        lines.rank = std::min(lines.rank, rank);
        for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part)
            lines.lines.push_back(partPoints(layer, part));
        return;
    }
    std::optional<LabelCandidate> label = lineLabel(layer, feature);
    if (!label)
        return;
    label->text = text;
    label->rank = rank;
    prepared.labels.push_back(std::move(*label));
}

} // namespace

std::size_t PreparedLayer::memoryBytes() const {
    std::size_t bytes = sizeof(PreparedLayer);
    for (const QPainterPath& path : paths)
        bytes += sizeof(QPainterPath) + std::size_t(path.elementCount()) * sizeof(QPainterPath::Element);
    for (const LabelCandidate& label : labels)
        bytes += sizeof(LabelCandidate) + std::size_t(label.text.size()) * sizeof(QChar);
    for (const LineLabelCandidate& label : lineLabels) {
        bytes += sizeof(LineLabelCandidate) + std::size_t(label.text.size()) * sizeof(QChar) +
                 label.line.size() * sizeof(QPointF);
    }
    return bytes;
}

PreparedLayer prepareLayer(const StyleLayer& style, const VectorTile& tile) {
    PreparedLayer prepared;
    const TileLayer* layer = tile.layer(style.sourceLayer);
    if (!layer)
        return prepared;
    prepared.extent = layer->extent;
    prepared.segments = drawnAsSegments(style);
    const DrawnArea area = drawnArea(layer->extent);
    std::map<QString, NamedLines> named;
    for (const TileFeature& feature : layer->features) {
        if (style.filter && !style.filter->matches(*layer, feature))
            continue;
        switch (style.type) {
        case StyleLayerType::Fill:
            if (feature.type == GeometryType::Polygon)
                addAreas(prepared, *layer, feature, area);
            break;
        case StyleLayerType::Line:
            if (feature.type != GeometryType::Point)
                addStrokes(prepared, *layer, feature, area);
            break;
        case StyleLayerType::Symbol:
            addLabels(prepared, named, style, *layer, feature);
            break;
        case StyleLayerType::Background:
            break;
        }
    }
    // A name along a line is placed by the tile that holds its middle, so its line matters only half a
    // tile beyond the tile's edge: room for a name a whole tile long.
    const double reach = layer->extent / 2.0;
    const QRectF labelArea(-reach, -reach, layer->extent + 2 * reach, layer->extent + 2 * reach);
    for (auto& [text, lines] : named) {
        for (const Polyline& line : mergeLines(std::move(lines.lines))) {
            for (Polyline& piece : clipPolyline(line, labelArea))
                prepared.lineLabels.push_back({text, std::move(piece), lines.rank});
        }
    }
    return prepared;
}

} // namespace kestrova
