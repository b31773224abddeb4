#include "map/prepared_layer.h"

#include <cmath>
#include <numbers>

namespace kestrova {

namespace {

void addParts(QPainterPath& path, const TileLayer& layer, const TileFeature& feature, bool closed) {
    for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
        const uint32_t begin = layer.partBegin(part);
        const uint32_t end = layer.partEnds[part];
        path.moveTo(layer.points[begin].x, layer.points[begin].y);
        for (uint32_t i = begin + 1; i < end; ++i)
            path.lineTo(layer.points[i].x, layer.points[i].y);
        if (closed)
            path.closeSubpath();
    }
}

// The label along the longest segment of the feature's lines, centred on that segment.
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
            double angle = std::atan2(dy, dx) * 180 / std::numbers::pi;
            if (angle > 90)
                angle -= 180;
            else if (angle <= -90)
                angle += 180;
            label.angle = angle;
            label.length = length;
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

void addLabels(PreparedLayer& prepared, const StyleLayer& style, const TileLayer& layer, const TileFeature& feature) {
    if (feature.type == GeometryType::Polygon)
        return;
    const QString text = expandTextField(style.textField, layer, feature);
    if (text.isEmpty())
        return;
    const double rank = rankOf(layer, feature);
    if (feature.type == GeometryType::Point) {
        for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
            const TilePoint& point = layer.points[layer.partBegin(part)];
            prepared.labels.push_back({text, QPointF(point.x, point.y), 0, 0, rank});
        }
        return;
    }
    std::optional<LabelCandidate> label = lineLabel(layer, feature);
    if (!label)
        return;
    label->text = text;
    label->rank = rank;
    if (!style.linePlacement) {
        label->angle = 0;
        label->length = 0;
    }
    prepared.labels.push_back(std::move(*label));
}

} // namespace

std::size_t PreparedLayer::memoryBytes() const {
    std::size_t bytes = sizeof(PreparedLayer) + std::size_t(path.elementCount()) * sizeof(QPainterPath::Element);
    for (const LabelCandidate& label : labels)
        bytes += sizeof(LabelCandidate) + std::size_t(label.text.size()) * sizeof(QChar);
    return bytes;
}

PreparedLayer prepareLayer(const StyleLayer& style, const VectorTile& tile) {
    PreparedLayer prepared;
    const TileLayer* layer = tile.layer(style.sourceLayer);
    if (!layer)
        return prepared;
    prepared.extent = layer->extent;
    prepared.path.setFillRule(Qt::WindingFill);
    for (const TileFeature& feature : layer->features) {
        if (style.filter && !style.filter->matches(*layer, feature))
            continue;
        switch (style.type) {
        case StyleLayerType::Fill:
            if (feature.type == GeometryType::Polygon)
                addParts(prepared.path, *layer, feature, true);
            break;
        case StyleLayerType::Line:
            if (feature.type != GeometryType::Point)
                addParts(prepared.path, *layer, feature, feature.type == GeometryType::Polygon);
            break;
        case StyleLayerType::Symbol:
            addLabels(prepared, style, *layer, feature);
            break;
        case StyleLayerType::Background:
            break;
        }
    }
    return prepared;
}

} // namespace kestrova
