#pragma once

#include "map/style_color.h"
#include "map/style_filter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The map style: the subset of the MapLibre style JSON (version 8) that the engine draws. Layers are
// background, fill, line and symbol; paint values are constants or zoom "stops"; filters are legacy.
namespace kestrova {

// A paint or layout value: a constant, or stops over the zoom level interpolated with a base
// (exponential; 1 is linear) and held at the first and last stop outside their range.
template <class T> class ZoomValue {
public:
    ZoomValue() = default;
    explicit ZoomValue(T constant) : m_constant(std::move(constant)) {}
    ZoomValue(std::vector<std::pair<double, T>> stops, double base) : m_stops(std::move(stops)), m_base(base) {}

    T at(double zoom) const;
    bool isConstant() const { return m_stops.empty(); }

private:
    T m_constant{};
    std::vector<std::pair<double, T>> m_stops;
    double m_base = 1;
};

enum class StyleLayerType { Background, Fill, Line, Symbol };

struct StyleLayer {
    QString id;
    StyleLayerType type = StyleLayerType::Background;
    std::string sourceLayer;
    double minZoom = 0;
    double maxZoom = 1000; // drawn while minZoom <= zoom < maxZoom
    std::optional<StyleFilter> filter;
    bool visible = true;

    // background-color, fill-color, line-color or text-color, and the matching opacity.
    ZoomValue<StyleColor> color{StyleColor{}};
    ZoomValue<double> opacity{1.0};
    std::optional<ZoomValue<StyleColor>> outlineColor; // fill-outline-color
    ZoomValue<double> lineWidth{1.0};
    std::vector<double> lineDashes; // in line widths
    Qt::PenCapStyle lineCap = Qt::FlatCap;
    Qt::PenJoinStyle lineJoin = Qt::MiterJoin;

    QString textField; // "{key}" tokens replaced by the feature's attributes
    ZoomValue<double> textSize{16.0};
    QStringList textFont;
    ZoomValue<StyleColor> haloColor{StyleColor{0, 0, 0, 0}};
    ZoomValue<double> haloWidth{0.0};
    double textPadding = 2;
    bool linePlacement = false;             // symbol-placement "line": along the line, else at a point
    ZoomValue<double> symbolSpacing{250.0}; // pixels between labels repeated along a line

    bool isDrawnAt(double zoom) const { return visible && zoom >= minZoom && zoom < maxZoom; }
};

struct MapStyle {
    std::vector<StyleLayer> layers;
};

// The style file's text parsed, or nothing with the reason in error. Text that is not JSON, a version
// other than 8, a layer type, property or filter operator outside the subset, a value of the wrong
// kind, or more than 1000 layers, 64 stops in a value, 16 entries in a dash array, or 256 characters or
// 16 keys in a text-field all fail the whole style.
std::optional<MapStyle> parseMapStyle(const QByteArray& json, QString& error);

// A text-field template filled from a feature: each "{key}" becomes the attribute's text (numbers in
// their shortest form), "" when the feature lacks it. "{name}" falls back to "name:latin", which holds
// the name in maps whose tiles carry no plain "name".
QString expandTextField(const QString& field, const TileLayer& layer, const TileFeature& feature);

} // namespace kestrova
