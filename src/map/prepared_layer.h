#pragma once

#include "map/map_style.h"
#include "map/tile_geometry.h"
#include "map/vector_tile.h"

#include <QPainterPath>
#include <QPointF>
#include <QString>

#include <vector>

// What one style layer draws from one tile, in the tile's own units: its fills or lines cut to the tile
// and thinned, or its label candidates. Filters do not depend on the zoom, so this is made once per tile.
namespace kestrova {

// A label at a point, written horizontally.
struct LabelCandidate {
    QString text;
    QPointF anchor;    // tile units
    double rank = 1e9; // the feature's "rank": lower ranks are placed first
};

// A name placed along its line ("symbol-placement": "line"): the lines of that name in the tile, joined
// where they meet, reaching half a tile beyond the tile's edge so that a name near the edge still fits.
struct LineLabelCandidate {
    QString text;
    Polyline line; // tile units
    double rank = 1e9;
};

struct PreparedLayer {
    uint32_t extent = 4096;
    // The shapes, a few features to a path: one path of thousands of shapes rasterises many times slower
    // than the same shapes in several paths.
    std::vector<QPainterPath> paths;
    // Line layers of one solid, opaque colour hold every line segment as a piece of its own, which
    // paints many times faster than joined lines; the renderer covers the joins with the pen's caps.
    bool segments = false;
    std::vector<LabelCandidate> labels;
    std::vector<LineLabelCandidate> lineLabels;

    std::size_t memoryBytes() const;
};

// The features of the style layer's source layer that pass its filter. Fill layers take polygons (holes
// cancel through the winding rule), line layers lines and polygon outlines, symbol layers points (at the
// point) and lines (along the line, or at the middle of its longest segment for point placement);
// labels whose text is empty are dropped.
PreparedLayer prepareLayer(const StyleLayer& style, const VectorTile& tile);

} // namespace kestrova
