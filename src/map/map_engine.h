#pragma once

#include "map/map_engine_interface.h"
#include "map/map_renderer.h"
#include "map/map_style.h"
#include "map/place_index.h"
#include "map/tile_sources.h"
#include "map/web_mercator.h"

#include <QImage>

#include <memory>
#include <optional>
#include <vector>

// The console's map engine: draws views of a vector MBTiles map in a style over a raster background,
// converts points to pixels and names places, all from files in the program's nv5/ folder.
//
// Files: OpenMap takes an MBTiles of Mapbox Vector Tiles in the OpenMapTiles schema, LoadProfile a style
// (the MapLibre subset of map_style.h), LoadBackground a raster MBTiles. A failed load leaves what was
// loaded before. Views work from whatever is loaded; with nothing loaded they are plain white. View
// sizes are held to 1..4096 pixels and zoom levels to 0..22. SetText's caption goes on the next bitmap
// only. A bitmap or route text that cannot be written raises RuntimeError ("PPG-SDK: ...").
//
// Places, from the map's tiles: GetPlaceName names the nearest named POI within 30 m. SearchNearby finds
// the nearest city, county or town (s1), the nearest suburb, district or village (s2) and the nearest
// named POI within the radius in metres (s3 its name, s4 its class, the out value its distance).
// PlanRoute snaps both ends to the nearest named road; SaveRouteText writes, for each end, the road's
// name and a line "距離 N 公尺" with the metres from the point to the road, in the system's code page.
namespace kestrova {

class MapEngine final : public MapEngineInterface {
public:
    MapEngine();
    ~MapEngine() override;

    void CloseMap() override;
    int32_t OpenMap(const QString& path) override;
    int32_t LoadProfile(const QString& path) override;
    int32_t LoadBackground(const QString& path) override;
    void SetCenter(int32_t x, int32_t y) override;
    void SetSearchPoint(int32_t& x, int32_t& y) override;
    void SaveBitmap(const QString& path, int32_t& result) override;
    void SetZoom(int32_t level) override;
    void SetViewSize(int32_t width, int32_t height) override;
    void SetText(const QString& text) override;
    void ToPixel(int32_t x, int32_t y, int32_t& px, int32_t& py) override;
    void SearchNearby(int32_t x, int32_t y, int32_t radius) override;
    void GetResultCount(int32_t& count) override;
    void GetResult(int32_t index, QString& s1, QString& s2, QString& s3, QString& s4, int32_t& value) override;
    void SetRouteOption(int32_t option) override;
    void ClearRoute() override;
    void PlanRoute(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY, int32_t& result) override;
    void SaveRouteText(const QString& path, int32_t& result) override;
    void GetPlaceName(int32_t x, int32_t y, QString& name) override;

private:
    struct SearchResult {
        QString city;
        QString district;
        QString poiName;
        QString poiClass;
        int32_t metres = 0;
    };
    struct RouteEnd {
        QString road;
        double metres = 0;
    };

    ViewWindow view() const;
    const QImage& render(const QString& caption);
    void changed() { ++m_generation; }
    std::optional<RouteEnd> snapToRoad(int32_t x, int32_t y) const;
    std::optional<PlaceFinder> placeFinder() const;
    int detailZoom() const;

    std::unique_ptr<VectorTileSource> m_map;
    std::unique_ptr<RasterTileSource> m_background;
    std::unique_ptr<MapStyle> m_style;
    uint64_t m_generation = 0; // counts the changes of map, style and background
    MapRenderer m_renderer;
    QByteArray m_bitmap;

    int m_width = 1;
    int m_height = 1;
    int m_zoom = 12;
    int32_t m_centreX = 0;
    int32_t m_centreY = 0;
    QString m_text;

    std::optional<SearchResult> m_result;
    std::vector<RouteEnd> m_route;
};

} // namespace kestrova
