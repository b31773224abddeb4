#include "map/place_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrova {

namespace {

constexpr double kNothing = std::numeric_limits<double>::infinity();
// A ring walk never visits more rings than this (a square of 33 × 33 tiles), whatever the radius.
constexpr int kMaxRings = 16;

QString textOf(const TileLayer& layer, const TileFeature& feature, std::string_view key) {
    const TileValue* value = layer.attribute(feature, key);
    return value && value->kind == TileValue::Kind::String ? QString::fromStdString(value->text).trimmed() : QString();
}

QString nameOf(const TileLayer& layer, const TileFeature& feature) {
    const QString name = textOf(layer, feature, "name");
    return name.isEmpty() ? textOf(layer, feature, "name:latin") : name;
}

class WorldMapper {
public:
    WorldMapper(TileId id, uint32_t extent)
        : m_x(id.x), m_y(id.y), m_scale(1.0 / (std::ldexp(1.0, id.z) * extent)),
          m_tileScale(1.0 / std::ldexp(1.0, id.z)) {}
    WorldPoint operator()(const TilePoint& p) const {
        return {m_x * m_tileScale + p.x * m_scale, m_y * m_tileScale + p.y * m_scale};
    }

private:
    double m_x;
    double m_y;
    double m_scale;
    double m_tileScale;
};

// A point feature counts for the tile that holds it; copies in the buffer of neighbouring tiles do not.
bool insideTile(const TilePoint& p, uint32_t extent) {
    return p.x >= 0 && p.y >= 0 && uint32_t(p.x) < extent && uint32_t(p.y) < extent;
}

void extractPoints(const TileLayer* layer, TileId id, std::vector<NamedPoint>& out) {
    if (!layer)
        return;
    const WorldMapper toWorld(id, layer->extent);
    for (const TileFeature& feature : layer->features) {
        if (feature.type != GeometryType::Point)
            continue;
        const QString name = nameOf(*layer, feature);
        if (name.isEmpty())
            continue;
        const QString kind = textOf(*layer, feature, "class");
        for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
            const TilePoint& point = layer->points[layer->partBegin(part)];
            if (insideTile(point, layer->extent))
                out.push_back({name, kind, toWorld(point)});
        }
    }
}

} // namespace

std::size_t TilePlaces::memoryBytes() const {
    std::size_t bytes = sizeof(TilePlaces);
    for (const auto* list : {&pois, &places}) {
        for (const NamedPoint& point : *list)
            bytes += sizeof(NamedPoint) + std::size_t(point.name.size() + point.kind.size()) * sizeof(QChar);
    }
    for (const NamedLine& road : roads)
        bytes += sizeof(NamedLine) + road.points.size() * sizeof(WorldPoint) + std::size_t(road.name.size()) * 2;
    return bytes;
}

TilePlaces extractPlaces(const VectorTile& tile, TileId id) {
    TilePlaces places;
    extractPoints(tile.layer("poi"), id, places.pois);
    extractPoints(tile.layer("place"), id, places.places);
    if (const TileLayer* layer = tile.layer("transportation_name")) {
        const WorldMapper toWorld(id, layer->extent);
        for (const TileFeature& feature : layer->features) {
            if (feature.type != GeometryType::LineString)
                continue;
            const QString name = nameOf(*layer, feature);
            if (name.isEmpty())
                continue;
            for (uint32_t part = feature.partBegin; part < feature.partEnd; ++part) {
                NamedLine road{name, {}};
                for (uint32_t i = layer->partBegin(part); i < layer->partEnds[part]; ++i)
                    road.points.push_back(toWorld(layer->points[i]));
                places.roads.push_back(std::move(road));
            }
        }
    }
    return places;
}

double distanceToSegmentMetres(WorldPoint p, WorldPoint a, WorldPoint b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return distanceMetres(p, {a.x + t * dx, a.y + t * dy});
}

void PlaceFinder::walkRings(WorldPoint p, int zoom, double maxMetres,
                            const std::function<double(const TilePlaces&)>& visit) const {
    if (!(p.x >= 0 && p.x < 1 && p.y >= 0 && p.y < 1) || zoom < 0 || zoom > 24)
        return;
    const int tiles = 1 << zoom;
    const int cx = int(p.x * tiles);
    const int cy = int(p.y * tiles);
    const double metresPerUnit = metresPerWorldUnit(p.y);
    double best = kNothing;
    for (int r = 0; r <= kMaxRings && r <= tiles; ++r) {
        for (int ty = cy - r; ty <= cy + r; ++ty) {
            for (int tx = cx - r; tx <= cx + r; ++tx) {
                if (std::max(std::abs(tx - cx), std::abs(ty - cy)) != r || tx < 0 || ty < 0 || tx >= tiles ||
                    ty >= tiles)
                    continue;
                if (std::shared_ptr<const TilePlaces> places = m_lookup({zoom, tx, ty}))
                    best = std::min(best, visit(*places));
            }
        }
        // Every tile not yet seen lies beyond the nearest edge of the square seen so far (edges at the
        // border of the world have nothing beyond them).
        double reach = kNothing;
        if (cx - r > 0)
            reach = std::min(reach, p.x - double(cx - r) / tiles);
        if (cx + r + 1 < tiles)
            reach = std::min(reach, double(cx + r + 1) / tiles - p.x);
        if (cy - r > 0)
            reach = std::min(reach, p.y - double(cy - r) / tiles);
        if (cy + r + 1 < tiles)
            reach = std::min(reach, double(cy + r + 1) / tiles - p.y);
        const double reached = reach * metresPerUnit;
        if (best <= reached || reached >= maxMetres)
            return;
    }
}

std::optional<FoundPoint> PlaceFinder::nearestPoi(WorldPoint p, int zoom, double maxMetres) const {
    return nearestPoint(p, zoom, maxMetres, &TilePlaces::pois, {});
}

std::optional<FoundPoint> PlaceFinder::nearestPlace(WorldPoint p, int zoom, double maxMetres,
                                                    const std::vector<QString>& kinds) const {
    return nearestPoint(p, zoom, maxMetres, &TilePlaces::places, kinds);
}

std::optional<FoundPoint> PlaceFinder::nearestPoint(WorldPoint p, int zoom, double maxMetres,
                                                    std::vector<NamedPoint> TilePlaces::*list,
                                                    const std::vector<QString>& kinds) const {
    std::optional<FoundPoint> found;
    walkRings(p, zoom, maxMetres, [&](const TilePlaces& places) {
        for (const NamedPoint& point : places.*list) {
            if (!kinds.empty() && std::find(kinds.begin(), kinds.end(), point.kind) == kinds.end())
                continue;
            const double metres = distanceMetres(p, point.at);
            if (metres <= maxMetres && (!found || metres < found->metres))
                found = FoundPoint{point, metres};
        }
        return found ? found->metres : kNothing;
    });
    return found;
}

std::optional<FoundRoad> PlaceFinder::nearestRoad(WorldPoint p, int zoom, double maxMetres) const {
    std::optional<FoundRoad> found;
    walkRings(p, zoom, maxMetres, [&](const TilePlaces& places) {
        for (const NamedLine& road : places.roads) {
            for (std::size_t i = 1; i < road.points.size(); ++i) {
                const double metres = distanceToSegmentMetres(p, road.points[i - 1], road.points[i]);
                if (metres <= maxMetres && (!found || metres < found->metres))
                    found = FoundRoad{road.name, metres};
            }
        }
        return found ? found->metres : kNothing;
    });
    return found;
}

} // namespace kestrova
