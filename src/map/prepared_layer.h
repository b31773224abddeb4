#pragma once

#include "map/map_style.h"
#include "map/vector_tile.h"

#include <QPainterPath>
#include <QPointF>
#include <QString>

#include <vector>

// What one style layer draws from one tile, in the tile's own units: the outline of its fills or lines
// as one path, or its label candidates. Filters do not depend on the zoom, so this is made once per tile.
namespace kestrova {

struct LabelCandidate {
    QString text;
    QPointF anchor;    // tile units
    double angle = 0;  // degrees, for labels along a line; kept between -90 and 90 so text stays upright
    double length = 0; // tile units of the line segment the label runs along; 0 for a point label
    double rank = 1e9; // the feature's "rank": lower ranks are placed first
};

struct PreparedLayer {
    uint32_t extent = 4096;
    QPainterPath path;
    std::vector<LabelCandidate> labels;

    std::size_t memoryBytes() const;
};

// The features of the style layer's source layer that pass its filter. Fill layers take polygons (holes
// cancel through the winding rule), line layers lines and polygon outlines, symbol layers points (at the
// point) and lines (along their longest segment); labels whose text is empty are dropped.
PreparedLayer prepareLayer(const StyleLayer& style, const VectorTile& tile);

} // namespace kestrova
