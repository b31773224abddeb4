#include "map/map_renderer.h"

#include "map/label_placer.h"
#include "map/line_label.h"
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
// Labels along a line: the sharpest turn between two neighbouring characters (degrees), and the least
// spacing between repeats that a style may ask for (pixels).
constexpr double kMaxLabelTurn = 45;
constexpr double kMinSymbolSpacing = 16;
constexpr int kCaptionPixelSize = 12;
constexpr int kCaptionMargin = 4;
// Finished cells kept: enough for every panel's view several times over.
constexpr std::size_t kCellCacheEntries = 384;
constexpr std::size_t kCellCacheBytes = 96u * 1024 * 1024;
// The last finished views (map and labels, without the caption): a panel drawn again at the same place,
// as happens whenever only its vehicle's state changed, is copied instead of drawn anew. Enough for
// every panel's view.
constexpr std::size_t kViewCacheEntries = 16;
constexpr std::size_t kViewCacheBytes = 48u * 1024 * 1024;
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

// The measure of a text kept in its cache (emptied when it grows too large), made on first use.
template <class Value, class Make>
const Value& cachedText(QHash<QString, Value>& cache, const QString& key, Make make) {
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    if (cache.size() > kMaxTextEntries)
        cache.clear();
    return *cache.insert(key, make());
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
        std::optional<QPen> outline;
        if (style.outlineColor) {
            outline.emplace(style.outlineColor->at(zoom).toQColor(opacity), 1);
            outline->setCosmetic(true);
        }
        for (const QPainterPath& path : prepared.paths) {
            if (color.alpha() > 0)
                painter.fillPath(path, color);
            if (outline)
                painter.strokePath(path, *outline);
        }
        return;
    }
    const double width = style.lineWidth.at(zoom);
    if (!(width > 0) || color.alpha() == 0)
        return;
    // A cosmetic pen keeps the width in view pixels whatever the tile's scale.
    QPen pen(color, width);
    pen.setCosmetic(true);
    // Lines kept as separate segments have square caps, which fill the joins between the segments.
    pen.setCapStyle(prepared.segments ? Qt::SquareCap : style.lineCap);
    pen.setJoinStyle(style.lineJoin);
    if (!style.lineDashes.empty()) {
        QList<qreal> dashes(style.lineDashes.begin(), style.lineDashes.end());
        if (dashes.size() % 2)
            dashes += dashes;
        if (std::any_of(dashes.begin(), dashes.end(), [](qreal d) { return d > 0; }))
            pen.setDashPattern(dashes);
    }
    for (const QPainterPath& path : prepared.paths)
        painter.strokePath(path, pen);
}

// A label belongs to the tile that draws the place where it stands.
bool ownsPoint(const TileDraw& draw, const QRectF& bounds, QPointF point) {
    return bounds.contains(point) && draw.clip.contains(QPoint(int(std::floor(point.x())), int(std::floor(point.y()))));
}

// A piece of placed text: a whole point label, or one character of a label along a line.
struct PlacedText {
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

struct MapRenderer::LayerLabels {
    std::size_t index = 0;
    QFont font;
    QString key;
    double height = 0;
    std::vector<PlacedText> texts;
};

struct MapRenderer::VisibleTile {
    TileDraw draw;
    std::shared_ptr<CachedVectorTile> tile;
};

std::vector<MapRenderer::VisibleTile> MapRenderer::visibleTiles(const ViewWindow& view, VectorTileSource& vectors) {
    std::vector<VisibleTile> tiles;
    for (const TileDraw& draw : coverView(view, vectors.minZoom(), vectors.maxZoom(),
                                          [&vectors](TileId id) { return vectors.tile(id) != nullptr; })) {
        if (std::shared_ptr<CachedVectorTile> tile = vectors.tile(draw.tile))
            tiles.push_back({draw, std::move(tile)});
    }
    return tiles;
}

MapRenderer::MapRenderer() : m_cells(kCellCacheEntries, kCellCacheBytes), m_views(kViewCacheEntries, kViewCacheBytes) {}

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
                if (!prepared->paths.empty())
                    drawGeometry(painter, style, *prepared, visible.draw, zoom);
            }
        }
    }
    painter.end();
    m_cells.insert(id, image, std::size_t(image->sizeInBytes()));
    return image;
}

const QPainterPath& MapRenderer::textPath(const QFont& font, const QString& key, const QString& text) {
    return cachedText(m_textPaths, key + text, [&] {
        QPainterPath path;
        path.addText(0, 0, font, text);
        return path;
    });
}

const std::vector<LabelGlyph>& MapRenderer::glyphs(const QFontMetricsF& metrics, const QString& key,
                                                   const QString& text) {
    // Characters recur across names far more than names do, so each is measured once.
    return cachedText(m_glyphs, key + text, [&] {
        return labelGlyphs(text, [&](const QString& glyph) {
            return cachedText(m_textWidths, key + glyph, [&] { return metrics.horizontalAdvance(glyph); });
        });
    });
}

// A label along a line as pieces of text to draw: in one piece when its characters stand in one straight
// row (drawing each character alone costs far more), else character by character.
void addPlacedText(std::vector<PlacedText>& texts, const QString& text, const std::vector<PlacedGlyph>& placed,
                   const std::vector<LabelGlyph>& characters) {
    if (const std::optional<QPointF> centre = straightRowCentre(placed, characters)) {
        texts.push_back({text, *centre, placed.front().angle, textWidth(characters)});
        return;
    }
    for (std::size_t i = 0; i < placed.size(); ++i)
        texts.push_back({characters[i].text, placed[i].centre, placed[i].angle, characters[i].advance});
}

// Calls visit(tile, prepared layer, tile units to pixels) for each visible tile; the prepared layers
// returned stay alive while their candidates are in use.
template <class Tiles, class Visit>
std::vector<std::shared_ptr<const PreparedLayer>> forEachPrepared(Tiles& tiles, const MapLayers& layers,
                                                                  std::size_t index, Visit visit) {
    std::vector<std::shared_ptr<const PreparedLayer>> keep;
    for (auto& visible : tiles) {
        std::shared_ptr<const PreparedLayer> prepared =
            preparedLayer(*layers.vectors, visible.draw.tile, *visible.tile, layers, index);
        visit(visible, *prepared, visible.draw.rect.width() / prepared->extent);
        keep.push_back(std::move(prepared));
    }
    return keep;
}

// Lower ranks are placed first; equal ranks keep the tiles' order.
template <class Candidates> void sortByRank(Candidates& candidates) {
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a.label->rank < b.label->rank; });
}

// Point labels, lowest rank first, each centred on its point.
void MapRenderer::placePointLabels(LayerLabels& out, const StyleLayer& style, std::vector<VisibleTile>& tiles,
                                   const MapLayers& layers, LabelPlacer& placer, const QRectF& bounds) {
    struct Candidate {
        const LabelCandidate* label;
        QPointF centre;
    };
    std::vector<Candidate> candidates;
    const auto keep = forEachPrepared(tiles, layers, out.index,
                                      [&](const auto& visible, const PreparedLayer& prepared, double scale) {
                                          for (const LabelCandidate& label : prepared.labels) {
                                              const QPointF centre = visible.draw.rect.topLeft() + label.anchor * scale;
                                              if (ownsPoint(visible.draw, bounds, centre))
                                                  candidates.push_back({&label, centre});
                                          }
                                      });
    sortByRank(candidates);
    const QFontMetricsF metrics(out.font);
    for (const Candidate& candidate : candidates) {
        const QString& text = candidate.label->text;
        if (placer.covered(candidate.centre) || placer.repeats(text, candidate.centre))
            continue;
        // The characters' widths added up: measured once each, not once per name.
        const double width = textWidth(glyphs(metrics, out.key, text));
        if (placer.place(LabelPlacer::boxFor(candidate.centre, width, out.height, 0, style.textPadding), text))
            out.texts.push_back({text, candidate.centre, 0, width});
    }
}

// Labels along lines, lowest rank first: each line is cut into stretches of the layer's spacing, and
// each stretch holds its name once where the name fits, follows the line and collides with nothing.
void MapRenderer::placeLineLabels(LayerLabels& out, const StyleLayer& style, std::vector<VisibleTile>& tiles,
                                  const MapLayers& layers, LabelPlacer& placer, const QRectF& bounds, double zoom) {
    struct Candidate {
        const LineLabelCandidate* label;
        const VisibleTile* tile;
        double scale;
    };
    std::vector<Candidate> candidates;
    const auto keep = forEachPrepared(tiles, layers, out.index,
                                      [&](const VisibleTile& visible, const PreparedLayer& prepared, double scale) {
                                          for (const LineLabelCandidate& label : prepared.lineLabels)
                                              candidates.push_back({&label, &visible, scale});
                                      });
    sortByRank(candidates);
    const QFontMetricsF metrics(out.font);
    const double spacing = std::max(kMinSymbolSpacing, style.symbolSpacing.at(zoom));
    Polyline line;
    std::vector<QRectF> boxes;
    for (const Candidate& candidate : candidates) {
        const TileDraw& draw = candidate.tile->draw;
        line.clear();
        for (const QPointF& point : candidate.label->line)
            line.push_back(draw.rect.topLeft() + point * candidate.scale);
        const LineMeasure measure(line);
        const QString& text = candidate.label->text;
        const std::vector<LabelGlyph>& characters = glyphs(metrics, out.key, text);
        for (const std::vector<double>& stretch : labelAnchors(measure.length(), spacing)) {
            for (const double at : stretch) {
                const QPointF centre = measure.pointAt(at);
                if (!ownsPoint(draw, bounds, centre) || placer.covered(centre) || placer.repeats(text, centre))
                    continue;
                const std::optional<std::vector<PlacedGlyph>> placed =
                    placeAlongLine(measure, at, characters, kMaxLabelTurn);
                if (!placed)
                    continue;
                boxes.clear();
                for (std::size_t i = 0; i < placed->size(); ++i) {
                    boxes.push_back(LabelPlacer::boxFor((*placed)[i].centre, characters[i].advance, out.height,
                                                        (*placed)[i].angle, style.textPadding));
                }
                if (!placer.place(boxes, text, centre))
                    continue;
                addPlacedText(out.texts, text, *placed, characters);
                break;
            }
        }
    }
}

// Labels are placed from the top style layer down so that upper layers win; drawLabels draws them from
// the bottom layer up.
std::vector<MapRenderer::LayerLabels> MapRenderer::placeLabels(const ViewWindow& view, const MapLayers& layers,
                                                               const QRectF& reserved) {
    std::vector<VisibleTile> tiles = visibleTiles(view, *layers.vectors);
    const QRectF bounds(0, 0, view.width(), view.height());
    LabelPlacer placer(bounds, kRepeatDistance);
    if (!reserved.isEmpty())
        placer.reserve(reserved);
    const double zoom = view.zoom();
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
        out.height = QFontMetricsF(out.font).height();
        if (style.linePlacement)
            placeLineLabels(out, style, tiles, layers, placer, bounds, zoom);
        else
            placePointLabels(out, style, tiles, layers, placer, bounds);
        placed.push_back(std::move(out));
    }
    return placed;
}

void MapRenderer::drawLabels(QPainter& painter, const std::vector<LayerLabels>& placed, const MapLayers& layers,
                             double zoom) {
    for (auto layer = placed.rbegin(); layer != placed.rend(); ++layer) {
        const StyleLayer& style = layers.style->layers[layer->index];
        const double opacity = opacityAt(style, zoom);
        const QColor colour = style.color.at(zoom).toQColor(opacity);
        const QColor halo = style.haloColor.at(zoom).toQColor(opacity);
        const double haloWidth = std::max(0.0, style.haloWidth.at(zoom));
        const QFontMetricsF metrics(layer->font);
        const double baseline = (metrics.ascent() - metrics.descent()) / 2;
        painter.setFont(layer->font);
        painter.setPen(colour);
        for (const PlacedText& text : layer->texts) {
            const bool plain = !(haloWidth > 0 && halo.alpha() > 0);
            if (plain && text.angle == 0) {
                // Unturned text comes from the painter's glyph cache; turned text is drawn as outlines.
                painter.drawText(text.centre + QPointF(-text.width / 2, baseline), text.text);
                continue;
            }
            painter.save();
            painter.translate(text.centre);
            painter.rotate(text.angle);
            painter.translate(-text.width / 2, baseline);
            if (!plain) {
                // The halo is the glyphs' outline stroked wide; the text is filled over it.
                const QPainterPath& path = textPath(layer->font, layer->key, text.text);
                QPen pen(halo, 2 * haloWidth);
                pen.setJoinStyle(Qt::RoundJoin);
                painter.strokePath(path, pen);
                painter.fillPath(path, colour);
            } else {
                painter.drawText(QPointF(0, 0), text.text);
            }
            painter.restore();
        }
    }
}

void MapRenderer::clear() {
    m_cells.clear();
    m_views.clear();
    m_current.reset();
    m_textWidths.clear();
    m_textPaths.clear();
    m_glyphs.clear();
}

void MapRenderer::drawView(QImage& canvas, const ViewWindow& view, const MapLayers& layers, const QRectF& reserved,
                           bool fonts) {
    QPainter painter(&canvas);
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
    if (fonts && layers.style && layers.vectors)
        drawLabels(painter, placeLabels(view, layers, reserved), layers, view.zoom());
}

const QImage& MapRenderer::render(const ViewWindow& view, const MapLayers& layers, const QString& caption) {
    if (layers.generation != m_generation) {
        m_cells.clear();
        m_views.clear();
        m_generation = layers.generation;
    }
    const bool fonts = haveFonts();
    // Labels keep clear of the caption in the bottom-left corner.
    std::optional<QFont> captionFont;
    QRectF captionArea;
    if (fonts && !caption.isEmpty()) {
        captionFont = labelFont({}, kCaptionPixelSize);
        const QFontMetricsF metrics(*captionFont);
        captionArea = QRectF(kCaptionMargin, view.height() - kCaptionMargin - metrics.height(),
                             metrics.horizontalAdvance(caption), metrics.height());
    }
    const ViewKey key{view.zoom(), view.left(), view.top(), view.width(), view.height(), captionArea};
    m_current = m_views.find(key);
    if (m_current) {
        // The view as it was drawn: the last caption's pixels go back first.
        if (!m_current->underCaption.isNull()) {
            QPainter painter(&m_current->image);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(m_current->captionAt, m_current->underCaption);
        }
    } else {
        m_current = std::make_shared<KeptView>();
        m_current->image = QImage(view.width(), view.height(), QImage::Format_ARGB32_Premultiplied);
        drawView(m_current->image, view, layers, captionArea, fonts);
        m_views.insert(key, m_current, std::size_t(m_current->image.sizeInBytes()));
    }
    m_current->underCaption = QImage();
    if (captionFont) {
        // The caption is drawn onto the kept view itself; what it covers is kept to be put back.
        const QRect covered = captionArea.adjusted(-4, -4, 4, 4).toAlignedRect().intersected(m_current->image.rect());
        m_current->underCaption = m_current->image.copy(covered);
        m_current->captionAt = covered.topLeft();
        QPainter painter(&m_current->image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        const QFontMetricsF metrics(*captionFont);
        painter.translate(captionArea.left(), captionArea.center().y() + (metrics.ascent() - metrics.descent()) / 2);
        QPainterPath path;
        path.addText(0, 0, *captionFont, caption);
        QPen halo(Qt::white, 3);
        halo.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(path, halo);
        painter.fillPath(path, Qt::black);
    }
    return m_current->image;
}

} // namespace kestrova
