#include "map/map_engine.h"

#include "map/bmp_image.h"
#include "startup/code_page.h"
#include "startup/runtime_error.h"

#include <QFile>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

Q_LOGGING_CATEGORY(lcMap, "kestrova.map")

// A view larger than this in either direction is drawn at this size (memory stays bounded); a view of
// no size is drawn one pixel wide or high.
constexpr int kMaxViewSide = 4096;
// Zoom levels beyond these leave the pixel arithmetic's range.
constexpr int kMinViewZoom = 0;
constexpr int kMaxViewZoom = 22;
constexpr qint64 kMaxStyleBytes = 16 * 1024 * 1024;

constexpr double kPlaceNameMetres = 30;
constexpr double kRoadMetres = 5000;
constexpr double kDistrictMetres = 10000;
constexpr double kCityMetres = 50000;
constexpr double kMaxSearchMetres = 50000;
// Tile levels of the searches (clamped to the map's levels): cities are in the tiles from level 6 on,
// districts from 11 to 13 depending on the profile; POIs and road names only at the highest level.
constexpr int kCityZoom = 10;
constexpr int kDistrictZoom = 13;

const std::vector<QString>& cityClasses() {
    static const std::vector<QString> classes = {QStringLiteral("city"), QStringLiteral("county"),
                                                 QStringLiteral("town")};
    return classes;
}

const std::vector<QString>& districtClasses() {
    static const std::vector<QString> classes = {QStringLiteral("suburb"), QStringLiteral("district"),
                                                 QStringLiteral("city_district"), QStringLiteral("borough"),
                                                 QStringLiteral("village")};
    return classes;
}

void writeWholeFile(const QString& path, const QByteArray& bytes, const QString& what) {
    QFile file(path);
    // Overwritten in place, then cut to the new length: emptying the file first would make ext4 write it
    // out to the disk when it is closed, which a file rewritten for every place description cannot afford.
    if (!file.open(QIODevice::ReadWrite) || file.write(bytes) != bytes.size() || !file.resize(bytes.size()) ||
        !file.flush())
        throw RuntimeError(QStringLiteral("PPG-SDK: %1 fail->%2: %3").arg(what, path, file.errorString()));
}

} // namespace

MapEngine::MapEngine() = default;
MapEngine::~MapEngine() = default;

void MapEngine::CloseMap() {
    m_map.reset();
    m_background.reset();
    m_style.reset();
    changed();
    m_renderer.clear();
    m_bitmap = QByteArray();
    m_text.clear();
    m_result.reset();
    m_route.clear();
}

int32_t MapEngine::OpenMap(const QString& path) {
    QString error;
    std::unique_ptr<VectorTileSource> map = VectorTileSource::open(path, error);
    if (!map) {
        qCWarning(lcMap) << "map" << path << "not loaded:" << error;
        return 0;
    }
    m_map = std::move(map);
    changed();
    return 1;
}

int32_t MapEngine::LoadProfile(const QString& path) {
    QFile file(path);
    QString error;
    std::optional<MapStyle> style;
    if (!file.open(QIODevice::ReadOnly))
        error = file.errorString();
    else if (file.size() > kMaxStyleBytes)
        error = QStringLiteral("the style file is too large");
    else
        style = parseMapStyle(file.read(kMaxStyleBytes), error);
    if (!style) {
        qCWarning(lcMap) << "style" << path << "not loaded:" << error;
        return 0;
    }
    m_style = std::make_unique<MapStyle>(std::move(*style));
    changed();
    return 1;
}

int32_t MapEngine::LoadBackground(const QString& path) {
    QString error;
    std::unique_ptr<RasterTileSource> background = RasterTileSource::open(path, error);
    if (!background) {
        qCWarning(lcMap) << "background" << path << "not loaded:" << error;
        return 0;
    }
    m_background = std::move(background);
    changed();
    return 1;
}

void MapEngine::SetCenter(int32_t x, int32_t y) {
    m_centreX = x;
    m_centreY = y;
}

void MapEngine::SetSearchPoint(int32_t&, int32_t&) {
    // The search takes its point from SearchNearby; nothing is kept here.
}

void MapEngine::SetZoom(int32_t level) {
    m_zoom = std::clamp<int32_t>(level, kMinViewZoom, kMaxViewZoom);
}

void MapEngine::SetViewSize(int32_t width, int32_t height) {
    m_width = std::clamp<int32_t>(width, 1, kMaxViewSide);
    m_height = std::clamp<int32_t>(height, 1, kMaxViewSide);
}

void MapEngine::SetText(const QString& text) {
    m_text = text;
}

ViewWindow MapEngine::view() const {
    return ViewWindow(m_width, m_height, m_zoom, worldFromMicrodegrees(m_centreX, m_centreY));
}

const QImage& MapEngine::render(const QString& caption) {
    MapLayers layers;
    layers.style = m_style.get();
    layers.vectors = m_map.get();
    layers.raster = m_background.get();
    layers.generation = m_generation;
    return m_renderer.render(view(), layers, caption);
}

void MapEngine::SaveBitmap(const QString& path, int32_t& result) {
    result = 0;
    const QString caption = std::exchange(m_text, QString());
    encodeBmp24(render(caption), m_bitmap);
    writeWholeFile(path, m_bitmap, QStringLiteral("Save Bitmap"));
    result = 1;
}

void MapEngine::ToPixel(int32_t x, int32_t y, int32_t& px, int32_t& py) {
    const ViewWindow window = view();
    const WorldPoint point = worldFromMicrodegrees(x, y);
    px = window.pixelX(point);
    py = window.pixelY(point);
}

int MapEngine::detailZoom() const {
    return m_map ? m_map->maxZoom() : 0;
}

std::optional<PlaceFinder> MapEngine::placeFinder() const {
    if (!m_map)
        return std::nullopt;
    VectorTileSource* source = m_map.get();
    return PlaceFinder([source](TileId id) -> std::shared_ptr<const TilePlaces> {
        const std::shared_ptr<CachedVectorTile> tile = source->tile(id);
        if (!tile)
            return nullptr;
        if (!tile->places) {
            auto places = std::make_shared<TilePlaces>(extractPlaces(tile->tile, id));
            tile->placesBytes = places->memoryBytes();
            tile->places = std::move(places);
            source->updateSize(id, *tile);
        }
        return tile->places;
    });
}

void MapEngine::SearchNearby(int32_t x, int32_t y, int32_t radius) {
    m_result.reset();
    const std::optional<PlaceFinder> finder = placeFinder();
    if (!finder)
        return;
    const WorldPoint point = worldFromMicrodegrees(x, y);
    const int low = m_map->minZoom();
    const int high = m_map->maxZoom();
    SearchResult result;
    if (const auto city = finder->nearestPlace(point, std::clamp(kCityZoom, low, high), kCityMetres, cityClasses()))
        result.city = city->point.name;
    if (const auto district =
            finder->nearestPlace(point, std::clamp(kDistrictZoom, low, high), kDistrictMetres, districtClasses()))
        result.district = district->point.name;
    const double metres = std::clamp<double>(radius, 0, kMaxSearchMetres);
    if (const auto poi = finder->nearestPoi(point, high, metres)) {
        result.poiName = poi->point.name;
        result.poiClass = poi->point.kind;
        result.metres = int32_t(std::lround(poi->metres));
    }
    if (!result.city.isEmpty() || !result.district.isEmpty() || !result.poiName.isEmpty())
        m_result = result;
}

void MapEngine::GetResultCount(int32_t& count) {
    count = m_result ? 1 : 0;
}

void MapEngine::GetResult(int32_t index, QString& s1, QString& s2, QString& s3, QString& s4, int32_t& value) {
    // Without a result every text is empty, so a description built from it still reads well.
    const SearchResult result = index == 0 && m_result ? *m_result : SearchResult{};
    s1 = result.city;
    s2 = result.district;
    s3 = result.poiName;
    s4 = result.poiClass;
    value = result.metres;
}

void MapEngine::SetRouteOption(int32_t) {
    // Routes here only snap their ends to roads, so there is nothing to choose between.
}

void MapEngine::ClearRoute() {
    m_route.clear();
}

std::optional<MapEngine::RouteEnd> MapEngine::snapToRoad(int32_t x, int32_t y) const {
    const std::optional<PlaceFinder> finder = placeFinder();
    if (!finder)
        return std::nullopt;
    const auto road = finder->nearestRoad(worldFromMicrodegrees(x, y), detailZoom(), kRoadMetres);
    if (!road)
        return std::nullopt;
    return RouteEnd{road->name, road->metres};
}

void MapEngine::PlanRoute(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY, int32_t& result) {
    m_route.clear();
    if (const auto start = snapToRoad(fromX, fromY))
        m_route.push_back(*start);
    if (fromX != toX || fromY != toY) {
        if (const auto end = snapToRoad(toX, toY))
            m_route.push_back(*end);
    }
    result = m_route.empty() ? 0 : 1;
}

void MapEngine::SaveRouteText(const QString& path, int32_t& result) {
    result = 0;
    QString text;
    for (const RouteEnd& end : m_route) {
        // A name is one line, whatever line breaks the map data put in it.
        text += end.road.simplified() + QStringLiteral("\r\n");
        text += QStringLiteral("距離 %1 公尺\r\n").arg(std::lround(end.metres));
    }
    writeWholeFile(path, CodePage::system().encode(text), QStringLiteral("Save Route Text"));
    result = 1;
}

void MapEngine::GetPlaceName(int32_t x, int32_t y, QString& name) {
    name.clear();
    const std::optional<PlaceFinder> finder = placeFinder();
    if (!finder)
        return;
    if (const auto poi = finder->nearestPoi(worldFromMicrodegrees(x, y), detailZoom(), kPlaceNameMetres))
        name = poi->point.name;
}

} // namespace kestrova
