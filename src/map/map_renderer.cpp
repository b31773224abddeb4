#include "map/map_renderer.h"

#include "map/label_placer.h"
#include "map/tile_cover.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kestrova {

namespace {

// Same-text labels closer than this are shown once.
constexpr double kRepeatDistance = 120;
constexpr int kCaptionPixelSize = 12;
constexpr int kCaptionMargin = 4;
// Finished cells kept: enough for every panel's view several times over.
constexpr std::size_t kCellCacheEntries = 384;
constexpr std::size_t kCellCacheBytes = 96u * 1024 * 1024;
// Measured label texts and glyph outlines kept between views.
constexpr qsizetype kMaxTextEntries = 20000;

QFont labelFont(const QStringList& preferred, double pixelSize) {
    QFont font;
    QStringList families = preferred;
    families << QStringLiteral("Noto Sans CJK TC") << QStringLiteral("Noto Sans CJK JP") << QStringLiteral("Noto Sans");
    font.setFamilies(families);
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QString fontKey(const QStringList& preferred, int pixelSize) {
    return preferred.join(u',') + u'/' + QString::number(pixelSize) + u'/';
}

bool haveFonts() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

double opacityAt(const StyleLayer& style, double zoom) {
    return std::clamp(style.opacity.at(zoom), 0.0, 1.0);
}

// The colour of the view's ground: white under the style's background layers.
QColor groundColour(const MapLayers& layers, double zoom) {
    double r = 1;
    double g = 1;
    double b = 1;
    if (layers.style) {
        for (const StyleLayer& style : layers.style->layers) {
            if (style.type != StyleLayerType::Background || !style.isDrawnAt(zoom))
                continue;
            const StyleColor colour = style.color.at(zoom);
            const double a = std::clamp(colour.a * opacityAt(style, zoom), 0.0, 1.0);
            r = colour.r * a + r * (1 - a);
            g = colour.g * a + g * (1 - a);
            b = colour.b * a + b * (1 - a);
        }
    }
    return QColor::fromRgbF(float(std::clamp(r, 0.0, 1.0)), float(std::clamp(g, 0.0, 1.0)),
                            float(std::clamp(b, 0.0, 1.0)));
}

void drawGeometry(QPainter& painter, const StyleLayer& style, const PreparedLayer& prepared, const TileDraw& draw,
                  double zoom) {
    const double opacity = opacityAt(style, zoom);
    const QColor color = style.color.at(zoom).toQColor(opacity);
    painter.resetTransform();
    painter.setClipRegion(draw.clip);
    painter.translate(draw.rect.topLeft());
    painter.scale(draw.rect.width() / prepared.extent, draw.rect.height() / prepared.extent);
    if (style.type == StyleLayerType::Fill) {
        if (color.alpha() > 0)
            painter.fillPath(prepared.path, color);
        if (style.outlineColor) {
            QPen outline(style.outlineColor->at(zoom).toQColor(opacity), 1);
            outline.setCosmetic(true);
            painter.strokePath(prepared.path, outline);
        }
        return;
    }
    const double width = style.lineWidth.at(zoom);
    if (!(width > 0) || color.alpha() == 0)
        return;
    // A cosmetic pen keeps the width in view pixels whatever the tile's scale.
    QPen pen(color, width);
    pen.setCosmetic(true);
    pen.setCapStyle(style.lineCap);
    pen.setJoinStyle(style.lineJoin);
    if (!style.lineDashes.empty()) {
        QList<qreal> dashes(style.lineDashes.begin(), style.lineDashes.end());
        if (dashes.size() % 2)
            dashes += dashes;
        if (std::any_of(dashes.begin(), dashes.end(), [](qreal d) { return d > 0; }))
            pen.setDashPattern(dashes);
    }
    painter.strokePath(prepared.path, pen);
}

struct VisibleTile {
    TileDraw draw;
    std::shared_ptr<CachedVectorTile> tile;
};

std::vector<VisibleTile> visibleTiles(const ViewWindow& view, VectorTileSource& vectors) {
    std::vector<VisibleTile> tiles;
    for (const TileDraw& draw : coverView(view, vectors.minZoom(), vectors.maxZoom(),
                                          [&vectors](TileId id) { return vectors.tile(id) != nullptr; })) {
        if (std::shared_ptr<CachedVectorTile> tile = vectors.tile(draw.tile))
            tiles.push_back({draw, std::move(tile)});
    }
    return tiles;
}

struct PlacedLabel {
    QString text;
    QPointF centre;
    double angle = 0;
    double width = 0;
};

} // namespace

std::shared_ptr<const PreparedLayer> preparedLayer(VectorTileSource& source, TileId id, CachedVectorTile& tile,
                                                   const MapLayers& layers, std::size_t layerIndex) {
    if (tile.generation != layers.generation || tile.prepared.size() != layers.style->layers.size()) {
        tile.prepared.assign(layers.style->layers.size(), nullptr);
        tile.preparedBytes = 0;
        tile.generation = layers.generation;
    }
    std::shared_ptr<const PreparedLayer>& slot = tile.prepared[layerIndex];
    if (!slot) {
        auto prepared = std::make_shared<PreparedLayer>(prepareLayer(layers.style->layers[layerIndex], tile.tile));
        tile.preparedBytes += prepared->memoryBytes();
        slot = std::move(prepared);
        source.updateSize(id, tile);
    }
    return slot;
}

MapRenderer::MapRenderer() : m_cells(kCellCacheEntries, kCellCacheBytes) {}

std::shared_ptr<QImage> MapRenderer::cell(TileId id, const MapLayers& layers) {
    if (std::shared_ptr<QImage> cached = m_cells.find(id))
        return cached;
    auto image = std::make_shared<QImage>(kTileSize, kTileSize, QImage::Format_ARGB32_Premultiplied);
    const double zoom = id.z;
    image->fill(groundColour(layers, zoom));
    QPainter painter(image.get());
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const ViewWindow view =
        ViewWindow::fromCorner(kTileSize, kTileSize, id.z, double(id.x) * kTileSize, double(id.y) * kTileSize);
    if (layers.raster) {
        RasterTileSource& raster = *layers.raster;
        for (const TileDraw& draw : coverView(view, raster.minZoom(), raster.maxZoom(),
                                              [&raster](TileId tile) { return raster.tile(tile) != nullptr; })) {
            if (const std::shared_ptr<QImage> tile = raster.tile(draw.tile)) {
                painter.setClipRegion(draw.clip);
                painter.drawImage(draw.rect, *tile);
            }
        }
    }
    if (layers.style && layers.vectors) {
        std::vector<VisibleTile> tiles = visibleTiles(view, *layers.vectors);
        for (std::size_t index = 0; index < layers.style->layers.size(); ++index) {
            const StyleLayer& style = layers.style->layers[index];
            if ((style.type != StyleLayerType::Fill && style.type != StyleLayerType::Line) || !style.isDrawnAt(zoom))
                continue;
            for (VisibleTile& visible : tiles) {
                const std::shared_ptr<const PreparedLayer> prepared =
                    preparedLayer(*layers.vectors, visible.draw.tile, *visible.tile, layers, index);
                if (!prepared->path.isEmpty())
                    drawGeometry(painter, style, *prepared, visible.draw, zoom);
            }
        }
    }
    painter.end();
    m_cells.insert(id, image, std::size_t(image->sizeInBytes()));
    return image;
}

double MapRenderer::textWidth(const QFont& font, const QString& key, const QString& text) {
    const QString full = key + text;
    const auto found = m_textWidths.constFind(full);
    if (found != m_textWidths.constEnd())
        return *found;
    if (m_textWidths.size() > kMaxTextEntries)
        m_textWidths.clear();
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    m_textWidths.insert(full, width);
    return width;
}

const QPainterPath& MapRenderer::textPath(const QFont& font, const QString& key, const QString& text) {
    const QString full = key + text;
    auto found = m_textPaths.find(full);
    if (found != m_textPaths.end())
        return *found;
    if (m_textPaths.size() > kMaxTextEntries)
        m_textPaths.clear();
    QPainterPath path;
    path.addText(0, 0, font, text);
    return *m_textPaths.insert(full, path);
}

// Labels are placed from the top style layer down so that upper layers win, and within a layer by
// rank; then drawn from the bottom layer up.
void MapRenderer::drawLabels(QPainter& painter, const ViewWindow& view, const MapLayers& layers,
                             const QRectF& reserved) {
    struct LayerLabels {
        std::size_t index = 0;
        QFont font;
        QString key;
        std::vector<PlacedLabel> labels;
    };
    std::vector<VisibleTile> tiles = visibleTiles(view, *layers.vectors);
    LabelPlacer placer(QRectF(0, 0, view.width(), view.height()), kRepeatDistance);
    if (!reserved.isEmpty())
        placer.reserve(reserved);
    const double zoom = view.zoom();
    const QRectF bounds(0, 0, view.width(), view.height());
    std::vector<LayerLabels> placed;
    for (std::size_t index = layers.style->layers.size(); index-- > 0;) {
        const StyleLayer& style = layers.style->layers[index];
        if (style.type != StyleLayerType::Symbol || !style.isDrawnAt(zoom) || style.textField.isEmpty() ||
            style.color.at(zoom).toQColor(opacityAt(style, zoom)).alpha() == 0)
            continue;
        LayerLabels out;
        out.index = index;
        const int pixelSize = std::max(1, int(std::lround(style.textSize.at(zoom))));
        out.font = labelFont(style.textFont, pixelSize);
        out.key = fontKey(style.textFont, pixelSize);
        const double height = QFontMetricsF(out.font).height();
        struct Candidate {
            const LabelCandidate* label;
            QPointF centre;
            double scale;
        };
        std::vector<Candidate> candidates;
        std::vector<std::shared_ptr<const PreparedLayer>> keep;
        for (VisibleTile& visible : tiles) {
            std::shared_ptr<const PreparedLayer> prepared =
                preparedLayer(*layers.vectors, visible.draw.tile, *visible.tile, layers, index);
            const double scale = visible.draw.rect.width() / prepared->extent;
            for (const LabelCandidate& label : prepared->labels) {
                const QPointF centre = visible.draw.rect.topLeft() + label.anchor * scale;
                // A label belongs to the tile that draws the place where it stands.
                if (bounds.contains(centre) &&
                    visible.draw.clip.contains(QPoint(int(std::floor(centre.x())), int(std::floor(centre.y())))))
                    candidates.push_back({&label, centre, scale});
            }
            keep.push_back(std::move(prepared));
        }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.label->rank < b.label->rank; });
        for (const Candidate& candidate : candidates) {
            const QString& text = candidate.label->text;
            if (placer.repeats(text, candidate.centre))
                continue;
            const double width = textWidth(out.font, out.key, text);
            if (candidate.label->length > 0 && width > candidate.label->length * candidate.scale)
                continue; // the text does not fit along its segment
            const QRectF box =
                LabelPlacer::boxFor(candidate.centre, width, height, candidate.label->angle, style.textPadding);
            if (placer.place(box, text))
                out.labels.push_back({text, candidate.centre, candidate.label->angle, width});
        }
        placed.push_back(std::move(out));
    }
    for (auto layer = placed.rbegin(); layer != placed.rend(); ++layer) {
        const StyleLayer& style = layers.style->layers[layer->index];
        const double opacity = opacityAt(style, zoom);
        const QColor colour = style.color.at(zoom).toQColor(opacity);
        const QColor halo = style.haloColor.at(zoom).toQColor(opacity);
        const double haloWidth = std::max(0.0, style.haloWidth.at(zoom));
        const QFontMetricsF metrics(layer->font);
        const double baseline = (metrics.ascent() - metrics.descent()) / 2;
        painter.setFont(layer->font);
        for (const PlacedLabel& label : layer->labels) {
            painter.save();
            painter.translate(label.centre);
            painter.rotate(label.angle);
            painter.translate(-label.width / 2, baseline);
            if (haloWidth > 0 && halo.alpha() > 0) {
                // The halo is the glyphs' outline stroked wide; the text is filled over it.
                const QPainterPath& path = textPath(layer->font, layer->key, label.text);
                QPen pen(halo, 2 * haloWidth);
                pen.setJoinStyle(Qt::RoundJoin);
                painter.strokePath(path, pen);
                painter.fillPath(path, colour);
            } else {
                painter.setPen(colour);
                painter.drawText(QPointF(0, 0), label.text);
            }
            painter.restore();
        }
    }
}

void MapRenderer::clear() {
    m_cells.clear();
    m_textWidths.clear();
    m_textPaths.clear();
    m_canvas = QImage();
}

const QImage& MapRenderer::render(const ViewWindow& view, const MapLayers& layers, const QString& caption) {
    if (layers.generation != m_generation) {
        m_cells.clear();
        m_generation = layers.generation;
    }
    if (m_canvas.size() != QSize(view.width(), view.height()))
        m_canvas = QImage(view.width(), view.height(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&m_canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const double size = kTileSize;
    const int count = 1 << view.zoom();
    const int firstX = int(std::floor(view.left() / size));
    const int firstY = int(std::floor(view.top() / size));
    const int lastX = int(std::floor((view.left() + view.width() - 1) / size));
    const int lastY = int(std::floor((view.top() + view.height() - 1) / size));
    const QColor ground = groundColour(layers, view.zoom());
    for (int y = firstY; y <= lastY; ++y) {
        for (int x = firstX; x <= lastX; ++x) {
            const QPointF at(x * size - view.left(), y * size - view.top());
            if (x < 0 || y < 0 || x >= count || y >= count)
                painter.fillRect(QRectF(at, QSizeF(size, size)), ground); // beyond the edge of the world
            else
                painter.drawImage(at, *cell({view.zoom(), x, y}, layers));
        }
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    if (!haveFonts())
        return m_canvas;
    // Labels keep clear of the caption in the bottom-left corner.
    std::optional<QFont> captionFont;
    QRectF captionArea;
    if (!caption.isEmpty()) {
        captionFont = labelFont({}, kCaptionPixelSize);
        const QFontMetricsF metrics(*captionFont);
        captionArea = QRectF(kCaptionMargin, view.height() - kCaptionMargin - metrics.height(),
                             metrics.horizontalAdvance(caption), metrics.height());
    }
    if (layers.style && layers.vectors)
        drawLabels(painter, view, layers, captionArea);
    if (captionFont) {
        const QFontMetricsF metrics(*captionFont);
        painter.translate(captionArea.left(), captionArea.center().y() + (metrics.ascent() - metrics.descent()) / 2);
        QPainterPath path;
        path.addText(0, 0, *captionFont, caption);
        QPen halo(Qt::white, 3);
        halo.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(path, halo);
        painter.fillPath(path, Qt::black);
    }
    return m_canvas;
}

} // namespace kestrova
