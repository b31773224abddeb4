#include "map/tile_cover.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace kestrova {

QRectF tileRectInView(const ViewWindow& view, TileId tile) {
    const double size = kTileSize * std::ldexp(1.0, view.zoom() - tile.z);
    return QRectF(tile.x * size - view.left(), tile.y * size - view.top(), size, size);
}

std::vector<TileDraw> coverView(const ViewWindow& view, int minZoom, int maxZoom,
                                const std::function<bool(TileId)>& available, int maxTiles) {
    std::vector<TileDraw> draws;
    if (minZoom > maxZoom)
        return draws;
    const int zoom = std::clamp(view.zoom(), minZoom, maxZoom);
    const double size = kTileSize * std::ldexp(1.0, view.zoom() - zoom);
    const double count = std::ldexp(1.0, zoom);
    const double firstX = std::max(0.0, std::floor(view.left() / size));
    const double lastX = std::min(count - 1, std::floor((view.left() + view.width() - 1) / size));
    const double firstY = std::max(0.0, std::floor(view.top() / size));
    const double lastY = std::min(count - 1, std::floor((view.top() + view.height() - 1) / size));
    if (lastX < firstX || lastY < firstY || (lastX - firstX + 1) * (lastY - firstY + 1) > maxTiles)
        return draws;

    const QRect viewRect(0, 0, view.width(), view.height());
    std::unordered_map<TileId, bool, TileIdHash> known;
    std::unordered_map<TileId, std::size_t, TileIdHash> ancestorDraw;
    auto isAvailable = [&](TileId id) {
        const auto found = known.find(id);
        if (found != known.end())
            return found->second;
        return known[id] = available(id);
    };
    for (int y = int(firstY); y <= int(lastY); ++y) {
        for (int x = int(firstX); x <= int(lastX); ++x) {
            const TileId id{zoom, x, y};
            const QRectF rect = tileRectInView(view, id);
            const QRegion part(rect.toAlignedRect().intersected(viewRect));
            if (isAvailable(id)) {
                draws.push_back({id, rect, part});
                continue;
            }
            for (int up = 1; zoom - up >= minZoom; ++up) {
                const TileId parent{zoom - up, x >> up, y >> up};
                if (!isAvailable(parent))
                    continue;
                const auto drawn = ancestorDraw.find(parent);
                if (drawn != ancestorDraw.end()) {
                    draws[drawn->second].clip += part;
                } else {
                    ancestorDraw[parent] = draws.size();
                    draws.push_back({parent, tileRectInView(view, parent), part});
                }
                break;
            }
        }
    }
    return draws;
}

} // namespace kestrova
