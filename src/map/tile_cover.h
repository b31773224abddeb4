#pragma once

#include "map/web_mercator.h"

#include <QRect>
#include <QRectF>
#include <QRegion>

#include <functional>
#include <vector>

// Which tiles draw a view, and where. The view's zoom is clamped to the source's zoom range (tiles are
// scaled); where a tile is missing, its nearest present ancestor draws that part of the view instead.
namespace kestrova {

struct TileDraw {
    TileId tile;
    QRectF rect;  // the whole tile in view pixels
    QRegion clip; // the part of the view it draws
};

// The tiles that cover the view, each tile at most once; nothing when more than maxTiles tiles would be
// needed. available says whether a tile can be drawn.
std::vector<TileDraw> coverView(const ViewWindow& view, int minZoom, int maxZoom,
                                const std::function<bool(TileId)>& available, int maxTiles = 256);

// The rectangle of a tile in the view's pixels.
QRectF tileRectInView(const ViewWindow& view, TileId tile);

} // namespace kestrova
