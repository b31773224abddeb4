#include "map/tile_sources.h"

#include "map/tile_inflate.h"

#include <QBuffer>
#include <QImageReader>

namespace kestrova {

namespace {

constexpr std::size_t kVectorCacheEntries = 256;
constexpr std::size_t kVectorCacheBytes = 192u * 1024 * 1024;
constexpr std::size_t kRasterCacheEntries = 256;
constexpr std::size_t kRasterCacheBytes = 64u * 1024 * 1024;
// A raster tile image may be at most this many pixels wide and high.
constexpr int kMaxRasterTileSide = 1024;
// What a remembered absence costs in the cache.
constexpr std::size_t kAbsentTileBytes = 64;

} // namespace

std::unique_ptr<VectorTileSource> VectorTileSource::open(const QString& path, QString& error) {
    std::unique_ptr<MbtilesFile> file = MbtilesFile::open(path, error);
    if (!file)
        return nullptr;
    const QString format = file->metadata(QStringLiteral("format")).trimmed().toLower();
    if (format != u"pbf") {
        error = QStringLiteral("format \"%1\" is not a vector tile format").arg(format);
        return nullptr;
    }
    return std::unique_ptr<VectorTileSource>(new VectorTileSource(std::move(file)));
}

VectorTileSource::VectorTileSource(std::unique_ptr<MbtilesFile> file)
    : m_file(std::move(file)), m_cache(kVectorCacheEntries, kVectorCacheBytes) {}

std::shared_ptr<CachedVectorTile> VectorTileSource::tile(TileId id) {
    bool found = false;
    std::shared_ptr<CachedVectorTile> cached = m_cache.find(id, &found);
    if (found)
        return cached;
    std::string stored;
    if (m_file->readTile(id, kMaxTileBytes, stored) == MbtilesFile::TileState::Found) {
        if (std::optional<std::string> unpacked = inflateTileData(stored, kMaxTileBytes)) {
            cached = std::make_shared<CachedVectorTile>();
            cached->tile = decodeVectorTile(*unpacked);
        }
    }
    m_cache.insert(id, cached, cached ? cached->memoryBytes() : kAbsentTileBytes);
    return cached;
}

std::unique_ptr<RasterTileSource> RasterTileSource::open(const QString& path, QString& error) {
    std::unique_ptr<MbtilesFile> file = MbtilesFile::open(path, error);
    if (!file)
        return nullptr;
    const QString format = file->metadata(QStringLiteral("format")).trimmed().toLower();
    if (format != u"png" && format != u"jpg" && format != u"jpeg") {
        error = QStringLiteral("format \"%1\" is not a raster tile format").arg(format);
        return nullptr;
    }
    return std::unique_ptr<RasterTileSource>(new RasterTileSource(std::move(file)));
}

RasterTileSource::RasterTileSource(std::unique_ptr<MbtilesFile> file)
    : m_file(std::move(file)), m_cache(kRasterCacheEntries, kRasterCacheBytes) {}

std::shared_ptr<QImage> RasterTileSource::tile(TileId id) {
    bool found = false;
    std::shared_ptr<QImage> cached = m_cache.find(id, &found);
    if (found)
        return cached;
    std::string stored;
    if (m_file->readTile(id, kMaxTileBytes, stored) == MbtilesFile::TileState::Found && !stored.empty()) {
        QByteArray bytes = QByteArray::fromRawData(stored.data(), qsizetype(stored.size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        const QByteArray kind = reader.format();
        if ((kind == "png" || kind == "jpeg") && size.isValid() && size.width() <= kMaxRasterTileSide &&
            size.height() <= kMaxRasterTileSide) {
            QImage image = reader.read();
            if (!image.isNull())
                cached = std::make_shared<QImage>(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }
    m_cache.insert(id, cached, cached ? std::size_t(cached->sizeInBytes()) : kAbsentTileBytes);
    return cached;
}

} // namespace kestrova
