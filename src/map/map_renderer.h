#pragma once

#include "map/label_placer.h"
#include "map/line_label.h"
#include "map/map_style.h"
#include "map/tile_cache.h"
#include "map/tile_sources.h"
#include "map/web_mercator.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QString>

// Draws views of the map. The ground of a view (the style's background, the raster background, then
// the style's fill and line layers) is drawn in cells of 256 pixels on the view's zoom grid, each cell
// from the tiles under it clipped to its square, so features that cross tile edges join without seams.
// The labels of the symbol layers are placed over the whole view so that none overlaps another, and a
// caption goes in the bottom-left corner. Finished cells are kept, and so are the last finished views
// (without their caption), so a view drawn again costs little.
namespace kestrova {

struct MapLayers {
    const MapStyle* style = nullptr; // nullptr: no vector layers, a white background
    VectorTileSource* vectors = nullptr;
    RasterTileSource* raster = nullptr;
    uint64_t generation = 0; // changes whenever any of the three does
};

// A view's place, and the corner its caption keeps free of labels: what a finished view depends on.
struct ViewKey {
    int zoom = 0;
    double left = 0;
    double top = 0;
    int width = 0;
    int height = 0;
    QRectF reserved;
    friend bool operator==(const ViewKey&, const ViewKey&) = default;
};

struct ViewKeyHash {
    std::size_t operator()(const ViewKey& key) const noexcept {
        const std::hash<double> hash;
        return hash(key.left) ^ (hash(key.top) << 1) ^ (std::size_t(key.zoom) << 7) ^ (std::size_t(key.width) << 13) ^
               (std::size_t(key.height) << 29) ^ hash(key.reserved.width());
    }
};

class MapRenderer {
public:
    MapRenderer();

    // The view drawn. The image stays valid until the next call. Labels and the caption need a
    // QGuiApplication (fonts); without one they are left out.
    const QImage& render(const ViewWindow& view, const MapLayers& layers, const QString& caption);
    // Lets go of every kept cell, view and text.
    void clear();

private:
    struct VisibleTile;
    struct LayerLabels;

    static std::vector<VisibleTile> visibleTiles(const ViewWindow& view, VectorTileSource& vectors);
    std::shared_ptr<QImage> cell(TileId id, const MapLayers& layers);
    void drawView(QImage& canvas, const ViewWindow& view, const MapLayers& layers, const QRectF& reserved, bool fonts);
    const QPainterPath& textPath(const QFont& font, const QString& fontKey, const QString& text);
    const std::vector<LabelGlyph>& glyphs(const QFontMetricsF& metrics, const QString& fontKey, const QString& text);
    void placePointLabels(LayerLabels& out, const StyleLayer& style, std::vector<VisibleTile>& tiles,
                          const MapLayers& layers, LabelPlacer& placer, const QRectF& bounds);
    void placeLineLabels(LayerLabels& out, const StyleLayer& style, std::vector<VisibleTile>& tiles,
                         const MapLayers& layers, LabelPlacer& placer, const QRectF& bounds, double zoom);
    std::vector<LayerLabels> placeLabels(const ViewWindow& view, const MapLayers& layers, const QRectF& reserved);
    void drawLabels(QPainter& painter, const std::vector<LayerLabels>& placed, const MapLayers& layers, double zoom);

    TileCache<TileId, QImage, TileIdHash> m_cells;
    // A finished view, with the pixels under its current caption.
    struct KeptView {
        QImage image;
        QImage underCaption;
        QPoint captionAt;
    };
    TileCache<ViewKey, KeptView, ViewKeyHash> m_views;
    std::shared_ptr<KeptView> m_current; // the view last rendered, whose image render() returned
    uint64_t m_generation = 0;
    QHash<QString, double> m_textWidths;
    QHash<QString, QPainterPath> m_textPaths;
    QHash<QString, std::vector<LabelGlyph>> m_glyphs;
};

// The prepared form of one style layer for a tile, made on first use and kept with the tile.
std::shared_ptr<const PreparedLayer> preparedLayer(VectorTileSource& source, TileId id, CachedVectorTile& tile,
                                                   const MapLayers& layers, std::size_t layerIndex);

} // namespace kestrova
