#pragma once

#include "map/vector_tile.h"
#include "map/web_mercator.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Place look-ups from the vector tiles: named points of interest, named places (city, district...) and
// named roads near a point. One tile's named features are extracted once; searches walk rings of tiles
// outwards from the point until nothing nearer can remain.
namespace kestrova {

struct NamedPoint {
    QString name;
    QString kind; // the feature's "class"
    WorldPoint at;
};

struct NamedLine {
    QString name;
    std::vector<WorldPoint> points;
};

// The named features of one tile, in world coordinates.
struct TilePlaces {
    std::vector<NamedPoint> pois;   // layer "poi"
    std::vector<NamedPoint> places; // layer "place"
    std::vector<NamedLine> roads;   // layer "transportation_name"

    std::size_t memoryBytes() const;
};

// The named features of the tile at id. Names are "name", else "name:latin"; unnamed ones are left out.
TilePlaces extractPlaces(const VectorTile& tile, TileId id);

// Distance from p to the segment a-b, in metres at p's latitude.
double distanceToSegmentMetres(WorldPoint p, WorldPoint a, WorldPoint b);

struct FoundPoint {
    NamedPoint point;
    double metres = 0;
};

struct FoundRoad {
    QString name;
    double metres = 0;
};

class PlaceFinder {
public:
    // The extracted places of a tile, nullptr when the tile has none.
    using TileLookup = std::function<std::shared_ptr<const TilePlaces>(TileId)>;

    explicit PlaceFinder(TileLookup lookup) : m_lookup(std::move(lookup)) {}

    // The nearest named POI within maxMetres, searched in the tiles of zoom.
    std::optional<FoundPoint> nearestPoi(WorldPoint p, int zoom, double maxMetres) const;
    // The nearest named place whose class is one of kinds (any class when kinds is empty).
    std::optional<FoundPoint> nearestPlace(WorldPoint p, int zoom, double maxMetres,
                                           const std::vector<QString>& kinds) const;
    // The nearest named road and its distance.
    std::optional<FoundRoad> nearestRoad(WorldPoint p, int zoom, double maxMetres) const;

private:
    // Visits the tiles of zoom ring by ring around p. visit returns the best distance so far in metres;
    // the walk ends when every tile not yet visited is further away than that or than maxMetres.
    void walkRings(WorldPoint p, int zoom, double maxMetres,
                   const std::function<double(const TilePlaces&)>& visit) const;

    std::optional<FoundPoint> nearestPoint(WorldPoint p, int zoom, double maxMetres,
                                           std::vector<NamedPoint> TilePlaces::*list,
                                           const std::vector<QString>& kinds) const;

    TileLookup m_lookup;
};

} // namespace kestrova
