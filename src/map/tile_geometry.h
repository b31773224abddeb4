#pragma once

#include <QPointF>
#include <QRectF>

#include <vector>

// Geometry of a tile made ready to draw: cut to the part of the tile that is drawn and thinned to the
// detail its zoom level can show. Tiles carry lines well beyond their edges (a buffer of up to two tiles,
// and below the highest level whole merged roads), which would otherwise be stroked in full for every
// tile they cross.
namespace kestrova {

using Polyline = std::vector<QPointF>;

// The pieces of the line that lie inside the box, in their order along the line.
std::vector<Polyline> clipPolyline(const Polyline& line, const QRectF& box);

// The ring (closing point not repeated) cut to the box: what lies outside is replaced by stretches
// along the box's edges. Empty when nothing of the ring is inside.
Polyline clipRing(const Polyline& ring, const QRectF& box);

// The line without the vertices that lie within tolerance of the line that remains (Douglas-Peucker);
// both ends stay. closed: the line is a ring whose first point is also its last.
Polyline simplifyLine(const Polyline& line, double tolerance, bool closed = false);

} // namespace kestrova
