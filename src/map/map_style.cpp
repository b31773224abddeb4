#include "map/map_style.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <functional>
#include <map>
#include <set>

namespace kestrova {

namespace {

using Setter = std::function<bool(StyleLayer&, const QJsonValue&, QString&)>;

// Sizes beyond those of real styles (a few hundred layers, a dozen stops, dash arrays of a few entries,
// text fields of a few dozen characters with one or two keys), where drawing would take seconds and
// gigabytes.
constexpr qsizetype kMaxLayers = 1000;
constexpr qsizetype kMaxStops = 64;
constexpr qsizetype kMaxDashes = 16;
constexpr qsizetype kMaxTextFieldLength = 256;
constexpr int kMaxTextFieldKeys = 16;

bool fail(QString& error, const QString& text) {
    error = text;
    return false;
}

std::optional<double> number(const QJsonValue& json) {
    if (!json.isDouble() || !std::isfinite(json.toDouble()))
        return std::nullopt;
    return json.toDouble();
}

std::optional<double> numberValue(const QJsonValue& json) {
    return number(json);
}

std::optional<StyleColor> colorValue(const QJsonValue& json) {
    if (!json.isString())
        return std::nullopt;
    return parseStyleColor(json.toString());
}

// A constant of the value's kind, or {"stops": [[zoom, value], ...], "base": b}.
template <class T>
std::optional<ZoomValue<T>> zoomValue(const QJsonValue& json, std::optional<T> (*read)(const QJsonValue&),
                                      QString& error) {
    if (!json.isObject()) {
        std::optional<T> constant = read(json);
        if (!constant) {
            error = QStringLiteral("value of the wrong kind");
            return std::nullopt;
        }
        return ZoomValue<T>(std::move(*constant));
    }
    const QJsonObject object = json.toObject();
    double base = 1;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == u"base") {
            const std::optional<double> value = number(it.value());
            if (!value || *value <= 0) {
                error = QStringLiteral("\"base\" must be a positive number");
                return std::nullopt;
            }
            base = *value;
        } else if (it.key() != u"stops") {
            error = QStringLiteral("unknown function property \"%1\"").arg(it.key());
            return std::nullopt;
        }
    }
    const QJsonArray stops = object.value(u"stops").toArray();
    if (stops.isEmpty() || stops.size() > kMaxStops) {
        error = QStringLiteral("\"stops\" must be an array of 1 to %1 stops").arg(kMaxStops);
        return std::nullopt;
    }
    std::vector<std::pair<double, T>> parsed;
    for (const QJsonValue& stop : stops) {
        const QJsonArray pair = stop.toArray();
        const std::optional<double> zoom = pair.size() == 2 ? number(pair.at(0)) : std::nullopt;
        std::optional<T> value = pair.size() == 2 ? read(pair.at(1)) : std::nullopt;
        if (!zoom || !value || (!parsed.empty() && *zoom < parsed.back().first)) {
            error = QStringLiteral("each stop must be [zoom, value] with zooms in ascending order");
            return std::nullopt;
        }
        parsed.emplace_back(*zoom, std::move(*value));
    }
    return ZoomValue<T>(std::move(parsed), base);
}

Setter numberSetter(ZoomValue<double> StyleLayer::*member) {
    return [member](StyleLayer& layer, const QJsonValue& json, QString& error) {
        std::optional<ZoomValue<double>> value = zoomValue<double>(json, numberValue, error);
        if (value)
            layer.*member = std::move(*value);
        return value.has_value();
    };
}

Setter colorSetter(ZoomValue<StyleColor> StyleLayer::*member) {
    return [member](StyleLayer& layer, const QJsonValue& json, QString& error) {
        std::optional<ZoomValue<StyleColor>> value = zoomValue<StyleColor>(json, colorValue, error);
        if (value)
            layer.*member = std::move(*value);
        return value.has_value();
    };
}

// A constant text that must be one of the given words.
template <class T> Setter choiceSetter(T StyleLayer::*member, std::map<QString, T> choices) {
    return [member, choices](StyleLayer& layer, const QJsonValue& json, QString& error) {
        const auto found = choices.find(json.toString());
        if (!json.isString() || found == choices.end())
            return fail(error, QStringLiteral("unsupported value \"%1\"").arg(json.toString()));
        layer.*member = found->second;
        return true;
    };
}

bool setOutline(StyleLayer& layer, const QJsonValue& json, QString& error) {
    std::optional<ZoomValue<StyleColor>> value = zoomValue<StyleColor>(json, colorValue, error);
    if (value)
        layer.outlineColor = std::move(*value);
    return value.has_value();
}

bool setDashes(StyleLayer& layer, const QJsonValue& json, QString& error) {
    if (!json.isArray())
        return fail(error, QStringLiteral("line-dasharray must be an array of numbers"));
    if (json.toArray().size() > kMaxDashes)
        return fail(error, QStringLiteral("line-dasharray may have at most %1 entries").arg(kMaxDashes));
    layer.lineDashes.clear();
    for (const QJsonValue& item : json.toArray()) {
        const std::optional<double> value = number(item);
        if (!value || *value < 0)
            return fail(error, QStringLiteral("line-dasharray must be an array of numbers"));
        layer.lineDashes.push_back(*value);
    }
    return true;
}

// Calls text(QStringView) for the literal stretches of a text-field and key(QStringView) for each "{key}"
// in it, in order; an unclosed "{" is literal text.
template <class Text, class Key> void scanTextField(QStringView field, Text text, Key key) {
    qsizetype i = 0;
    while (i < field.size()) {
        const qsizetype open = field.indexOf(u'{', i);
        const qsizetype close = open < 0 ? -1 : field.indexOf(u'}', open + 1);
        if (close < 0) {
            text(field.mid(i));
            return;
        }
        text(field.mid(i, open - i));
        key(field.mid(open + 1, close - open - 1));
        i = close + 1;
    }
}

bool setTextField(StyleLayer& layer, const QJsonValue& json, QString& error) {
    if (!json.isString())
        return fail(error, QStringLiteral("text-field must be a text"));
    const QString field = json.toString();
    int keys = 0;
    scanTextField(
        field, [](QStringView) {}, [&](QStringView) { ++keys; });
    if (field.size() > kMaxTextFieldLength || keys > kMaxTextFieldKeys) {
        return fail(error, QStringLiteral("text-field may have at most %1 characters and %2 keys")
                               .arg(kMaxTextFieldLength)
                               .arg(kMaxTextFieldKeys));
    }
    layer.textField = field;
    return true;
}

bool setTextFont(StyleLayer& layer, const QJsonValue& json, QString& error) {
    if (!json.isArray())
        return fail(error, QStringLiteral("text-font must be an array of font names"));
    layer.textFont.clear();
    for (const QJsonValue& item : json.toArray()) {
        if (!item.isString())
            return fail(error, QStringLiteral("text-font must be an array of font names"));
        layer.textFont.append(item.toString());
    }
    return true;
}

bool setTextPadding(StyleLayer& layer, const QJsonValue& json, QString& error) {
    const std::optional<double> value = number(json);
    if (!value || *value < 0)
        return fail(error, QStringLiteral("text-padding must be a number"));
    layer.textPadding = *value;
    return true;
}

bool setVisibility(StyleLayer& layer, const QJsonValue& json, QString& error) {
    if (json.toString() != u"visible" && json.toString() != u"none")
        return fail(error, QStringLiteral("visibility must be \"visible\" or \"none\""));
    layer.visible = json.toString() == u"visible";
    return true;
}

bool setPlacement(StyleLayer& layer, const QJsonValue& json, QString& error) {
    if (json.toString() != u"point" && json.toString() != u"line")
        return fail(error, QStringLiteral("symbol-placement must be \"point\" or \"line\""));
    layer.linePlacement = json.toString() == u"line";
    return true;
}

struct PropertyTable {
    std::map<QString, Setter> layout;
    std::map<QString, Setter> paint;
};

const PropertyTable& properties(StyleLayerType type) {
    static const std::map<StyleLayerType, PropertyTable> tables = [] {
        std::map<StyleLayerType, PropertyTable> t;
        t[StyleLayerType::Background] = {{{"visibility", setVisibility}},
                                         {{"background-color", colorSetter(&StyleLayer::color)},
                                          {"background-opacity", numberSetter(&StyleLayer::opacity)}}};
        t[StyleLayerType::Fill] = {{{"visibility", setVisibility}},
                                   {{"fill-color", colorSetter(&StyleLayer::color)},
                                    {"fill-opacity", numberSetter(&StyleLayer::opacity)},
                                    {"fill-outline-color", setOutline}}};
        t[StyleLayerType::Line] = {
            {{"visibility", setVisibility},
             {"line-cap",
              choiceSetter<Qt::PenCapStyle>(
                  &StyleLayer::lineCap, {{"butt", Qt::FlatCap}, {"round", Qt::RoundCap}, {"square", Qt::SquareCap}})},
             {"line-join", choiceSetter<Qt::PenJoinStyle>(
                               &StyleLayer::lineJoin,
                               {{"miter", Qt::MiterJoin}, {"round", Qt::RoundJoin}, {"bevel", Qt::BevelJoin}})}},
            {{"line-color", colorSetter(&StyleLayer::color)},
             {"line-opacity", numberSetter(&StyleLayer::opacity)},
             {"line-width", numberSetter(&StyleLayer::lineWidth)},
             {"line-dasharray", setDashes}}};
        t[StyleLayerType::Symbol] = {{{"visibility", setVisibility},
                                      {"text-field", setTextField},
                                      {"text-size", numberSetter(&StyleLayer::textSize)},
                                      {"text-font", setTextFont},
                                      {"text-padding", setTextPadding},
                                      {"symbol-placement", setPlacement},
                                      {"symbol-spacing", numberSetter(&StyleLayer::symbolSpacing)}},
                                     {{"text-color", colorSetter(&StyleLayer::color)},
                                      {"text-opacity", numberSetter(&StyleLayer::opacity)},
                                      {"text-halo-color", colorSetter(&StyleLayer::haloColor)},
                                      {"text-halo-width", numberSetter(&StyleLayer::haloWidth)}}};
        return t;
    }();
    return tables.at(type);
}

bool applyProperties(StyleLayer& layer, const QJsonValue& json, const std::map<QString, Setter>& table,
                     const char* section, QString& error) {
    if (json.isUndefined())
        return true;
    if (!json.isObject())
        return fail(error, QStringLiteral("\"%1\" must be an object").arg(QLatin1String(section)));
    const QJsonObject object = json.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto setter = table.find(it.key());
        if (setter == table.end())
            return fail(error, QStringLiteral("unsupported %1 property \"%2\"").arg(QLatin1String(section), it.key()));
        if (!setter->second(layer, it.value(), error))
            return fail(error, QStringLiteral("%1: %2").arg(it.key(), error));
    }
    return true;
}

std::optional<StyleLayer> parseLayer(const QJsonValue& json, QString& error) {
    static const std::map<QString, StyleLayerType> types = {{"background", StyleLayerType::Background},
                                                            {"fill", StyleLayerType::Fill},
                                                            {"line", StyleLayerType::Line},
                                                            {"symbol", StyleLayerType::Symbol}};
    static const std::set<QString> keys = {"id",      "type",   "source", "source-layer", "minzoom",
                                           "maxzoom", "filter", "layout", "paint",        "metadata"};
    if (!json.isObject()) {
        error = QStringLiteral("a layer must be an object");
        return std::nullopt;
    }
    const QJsonObject object = json.toObject();
    StyleLayer layer;
    layer.id = object.value(u"id").toString();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!keys.contains(it.key())) {
            error = QStringLiteral("unsupported layer property \"%1\"").arg(it.key());
            return std::nullopt;
        }
    }
    const auto type = types.find(object.value(u"type").toString());
    if (!object.value(u"id").isString() || type == types.end()) {
        error = QStringLiteral("a layer needs an id and a type of background, fill, line or symbol");
        return std::nullopt;
    }
    layer.type = type->second;
    const QJsonValue sourceLayer = object.value(u"source-layer");
    if (layer.type != StyleLayerType::Background) {
        if (!sourceLayer.isString()) {
            error = QStringLiteral("layer \"%1\" needs a source-layer").arg(layer.id);
            return std::nullopt;
        }
        layer.sourceLayer = sourceLayer.toString().toStdString();
    }
    for (const char* key : {"minzoom", "maxzoom"}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            continue;
        if (!number(value) || value.toDouble() < 0 || value.toDouble() > 24) {
            error = QStringLiteral("layer \"%1\": %2 must be a number from 0 to 24").arg(layer.id, QLatin1String(key));
            return std::nullopt;
        }
        (key[1] == 'i' ? layer.minZoom : layer.maxZoom) = value.toDouble();
    }
    if (object.contains(u"filter")) {
        layer.filter = StyleFilter::parse(object.value(u"filter"), error);
        if (!layer.filter) {
            error = QStringLiteral("layer \"%1\": %2").arg(layer.id, error);
            return std::nullopt;
        }
    }
    const PropertyTable& table = properties(layer.type);
    if (!applyProperties(layer, object.value(u"layout"), table.layout, "layout", error) ||
        !applyProperties(layer, object.value(u"paint"), table.paint, "paint", error)) {
        error = QStringLiteral("layer \"%1\": %2").arg(layer.id, error);
        return std::nullopt;
    }
    return layer;
}

QString attributeText(const TileValue* value) {
    if (!value)
        return {};
    switch (value->kind) {
    case TileValue::Kind::String:
        return QString::fromStdString(value->text);
    case TileValue::Kind::Number:
        return QString::number(value->number, 'g', 15);
    case TileValue::Kind::Bool:
        return value->flag ? QStringLiteral("true") : QStringLiteral("false");
    case TileValue::Kind::None:
        break;
    }
    return {};
}

} // namespace

template <class T> T ZoomValue<T>::at(double zoom) const {
    if (m_stops.empty())
        return m_constant;
    if (zoom <= m_stops.front().first)
        return m_stops.front().second;
    if (zoom >= m_stops.back().first)
        return m_stops.back().second;
    std::size_t i = 1;
    while (m_stops[i].first <= zoom)
        ++i;
    const auto& [z0, v0] = m_stops[i - 1];
    const auto& [z1, v1] = m_stops[i];
    double t = 0;
    if (z1 > z0) {
        t = m_base == 1 ? (zoom - z0) / (z1 - z0) : (std::pow(m_base, zoom - z0) - 1) / (std::pow(m_base, z1 - z0) - 1);
    }
    if constexpr (std::is_same_v<T, double>)
        return v0 + (v1 - v0) * t;
    else
        return interpolate(v0, v1, t);
}

template class ZoomValue<double>;
template class ZoomValue<StyleColor>;

std::optional<MapStyle> parseMapStyle(const QByteArray& json, QString& error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull() || !document.isObject()) {
        error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                             : QStringLiteral("the style is not a JSON object");
        return std::nullopt;
    }
    static const std::set<QString> rootKeys = {"version", "name",   "metadata", "sources", "layers", "glyphs",
                                               "sprite",  "center", "zoom",     "bearing", "pitch"};
    const QJsonObject root = document.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (!rootKeys.contains(it.key())) {
            error = QStringLiteral("unsupported style property \"%1\"").arg(it.key());
            return std::nullopt;
        }
    }
    if (root.value(u"version") != QJsonValue(8)) {
        error = QStringLiteral("the style's version must be 8");
        return std::nullopt;
    }
    if (!root.value(u"layers").isArray()) {
        error = QStringLiteral("the style has no layers array");
        return std::nullopt;
    }
    if (root.value(u"layers").toArray().size() > kMaxLayers) {
        error = QStringLiteral("the style has more than %1 layers").arg(kMaxLayers);
        return std::nullopt;
    }
    MapStyle style;
    for (const QJsonValue& item : root.value(u"layers").toArray()) {
        std::optional<StyleLayer> layer = parseLayer(item, error);
        if (!layer)
            return std::nullopt;
        style.layers.push_back(std::move(*layer));
    }
    return style;
}

QString expandTextField(const QString& field, const TileLayer& layer, const TileFeature& feature) {
    QString text;
    scanTextField(
        field, [&](QStringView literal) { text += literal; },
        [&](QStringView name) {
            const std::string key = name.toString().toStdString();
            const TileValue* value = layer.attribute(feature, key);
            if (!value && key == "name")
                value = layer.attribute(feature, "name:latin");
            text += attributeText(value);
        });
    return text.trimmed();
}

} // namespace kestrova
