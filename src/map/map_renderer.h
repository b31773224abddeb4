#pragma once

#include "map/map_style.h"
#include "map/tile_cache.h"
#include "map/tile_sources.h"
#include "map/web_mercator.h"

#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QString>

// Draws views of the map. The ground of a view (the style's background, the raster background, then
// the style's fill and line layers) is drawn in cells of 256 pixels on the view's zoom grid, each cell
// from the tiles under it clipped to its square, so features that cross tile edges join without seams;
// finished cells are kept, so a view drawn again costs little. The labels of the symbol layers are
// placed over the whole view so that none overlaps another, and a caption goes in the bottom-left corner.
namespace kestrova {

struct MapLayers {
    const MapStyle* style = nullptr; // nullptr: no vector layers, a white background
    VectorTileSource* vectors = nullptr;
    RasterTileSource* raster = nullptr;
    uint64_t generation = 0; // changes whenever any of the three does
};

class MapRenderer {
public:
    MapRenderer();

    // The view drawn. The image stays valid until the next call. Labels and the caption need a
    // QGuiApplication (fonts); without one they are left out.
    const QImage& render(const ViewWindow& view, const MapLayers& layers, const QString& caption);
    // Lets go of every kept cell, text and the canvas.
    void clear();

private:
    std::shared_ptr<QImage> cell(TileId id, const MapLayers& layers);
    double textWidth(const QFont& font, const QString& fontKey, const QString& text);
    const QPainterPath& textPath(const QFont& font, const QString& fontKey, const QString& text);
    void drawLabels(QPainter& painter, const ViewWindow& view, const MapLayers& layers, const QRectF& reserved);

    TileCache<TileId, QImage, TileIdHash> m_cells;
    uint64_t m_generation = 0;
    QHash<QString, double> m_textWidths;
    QHash<QString, QPainterPath> m_textPaths;
    QImage m_canvas;
};

// The prepared form of one style layer for a tile, made on first use and kept with the tile.
std::shared_ptr<const PreparedLayer> preparedLayer(VectorTileSource& source, TileId id, CachedVectorTile& tile,
                                                   const MapLayers& layers, std::size_t layerIndex);

} // namespace kestrova
