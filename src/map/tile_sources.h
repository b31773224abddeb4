#pragma once

#include "map/mbtiles_file.h"
#include "map/place_index.h"
#include "map/prepared_layer.h"
#include "map/tile_cache.h"
#include "map/vector_tile.h"

#include <QImage>

#include <memory>
#include <vector>

// The engine's two tile sources: the vector map and the raster background, each an MBTiles file with
// its decoded tiles kept in a bounded cache. A missing, unreadable or undecodable tile reads as nullptr
// and is remembered as such.
namespace kestrova {

// Stored tiles larger than this, packed or unpacked, are taken as damaged.
inline constexpr std::size_t kMaxTileBytes = 8 * 1024 * 1024;

// A decoded vector tile and what the renderer and the place look-ups derive from it, built on first use.
struct CachedVectorTile {
    VectorTile tile;
    // Indexed by style layer, made for the map contents of the generation noted.
    uint64_t generation = 0;
    std::vector<std::shared_ptr<const PreparedLayer>> prepared;
    std::size_t preparedBytes = 0;
    std::shared_ptr<const TilePlaces> places;
    std::size_t placesBytes = 0;

    std::size_t memoryBytes() const { return tile.memoryBytes() + preparedBytes + placesBytes; }
};

class VectorTileSource {
public:
    // The vector MBTiles at path, or nullptr with the reason in error when it is not one (its metadata
    // format must be "pbf").
    static std::unique_ptr<VectorTileSource> open(const QString& path, QString& error);

    int minZoom() const { return m_file->minZoom(); }
    int maxZoom() const { return m_file->maxZoom(); }
    std::shared_ptr<CachedVectorTile> tile(TileId id);
    // Tells the cache that a tile's derived data has grown.
    void updateSize(TileId id, const CachedVectorTile& tile) { m_cache.resize(id, tile.memoryBytes()); }

private:
    explicit VectorTileSource(std::unique_ptr<MbtilesFile> file);

    std::unique_ptr<MbtilesFile> m_file;
    TileCache<TileId, CachedVectorTile, TileIdHash> m_cache;
};

class RasterTileSource {
public:
    // The raster MBTiles at path, or nullptr with the reason in error (format must be "png" or "jpg").
    static std::unique_ptr<RasterTileSource> open(const QString& path, QString& error);

    int minZoom() const { return m_file->minZoom(); }
    int maxZoom() const { return m_file->maxZoom(); }
    std::shared_ptr<QImage> tile(TileId id);

private:
    explicit RasterTileSource(std::unique_ptr<MbtilesFile> file);

    std::unique_ptr<MbtilesFile> m_file;
    TileCache<TileId, QImage, TileIdHash> m_cache;
};

} // namespace kestrova
