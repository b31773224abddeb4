#pragma once

#include "map/vector_tile.h"

#include <QJsonValue>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// The legacy filters of the map style: which features of a tile layer a style layer draws.
namespace kestrova {

class StyleFilter {
public:
    enum class Op { All, Any, Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, In, NotIn, Has, NotHas };

    // The filter written as JSON, or nothing with the reason in error. Only the legacy forms are read:
    // ["==", key, value] and the other comparisons, ["in"/"!in", key, values...], ["has"/"!has", key],
    // ["all"/"any", filters...]; a key of "$type" compares the geometry type (Point, LineString, Polygon).
    static std::optional<StyleFilter> parse(const QJsonValue& json, QString& error);

    // Typed comparisons: numbers equal numbers of any encoding, never the same digits as text. A
    // missing attribute fails ==, <, <=, >, >=, in and has, and passes !=, !in and !has. A missing
    // "name" is looked for as "name:latin".
    bool matches(const TileLayer& layer, const TileFeature& feature) const;

private:
    bool compare(const TileValue* actual) const;

    Op m_op = Op::All;
    std::string m_key;
    std::vector<TileValue> m_values;
    std::vector<StyleFilter> m_children;
};

} // namespace kestrova
