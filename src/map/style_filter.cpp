#include "map/style_filter.h"

#include <QJsonArray>

#include <cmath>
#include <map>

namespace kestrova {

namespace {

const std::map<QString, StyleFilter::Op>& operators() {
    using Op = StyleFilter::Op;
    static const std::map<QString, Op> table = {
        {"all", Op::All}, {"any", Op::Any},      {"==", Op::Equal},  {"!=", Op::NotEqual},
        {"<", Op::Less},  {"<=", Op::LessEqual}, {">", Op::Greater}, {">=", Op::GreaterEqual},
        {"in", Op::In},   {"!in", Op::NotIn},    {"has", Op::Has},   {"!has", Op::NotHas},
    };
    return table;
}

std::optional<TileValue> literal(const QJsonValue& json) {
    TileValue value;
    if (json.isString()) {
        value.kind = TileValue::Kind::String;
        value.text = json.toString().toStdString();
    } else if (json.isDouble()) {
        value.kind = TileValue::Kind::Number;
        value.number = json.toDouble();
    } else if (json.isBool()) {
        value.kind = TileValue::Kind::Bool;
        value.flag = json.toBool();
    } else {
        return std::nullopt;
    }
    return value;
}

bool sameValue(const TileValue& a, const TileValue& b) {
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case TileValue::Kind::String:
        return a.text == b.text;
    case TileValue::Kind::Number:
        return a.number == b.number;
    case TileValue::Kind::Bool:
        return a.flag == b.flag;
    case TileValue::Kind::None:
        break;
    }
    return false;
}

const char* typeName(GeometryType type) {
    switch (type) {
    case GeometryType::Point:
        return "Point";
    case GeometryType::LineString:
        return "LineString";
    case GeometryType::Polygon:
        return "Polygon";
    }
    return "";
}

} // namespace

std::optional<StyleFilter> StyleFilter::parse(const QJsonValue& json, QString& error) {
    const QJsonArray array = json.toArray();
    if (!json.isArray() || array.isEmpty() || !array.at(0).isString()) {
        error = QStringLiteral("a filter must be an array that starts with its operator");
        return std::nullopt;
    }
    const QString name = array.at(0).toString();
    const auto op = operators().find(name);
    if (op == operators().end()) {
        error = QStringLiteral("unknown filter operator \"%1\"").arg(name);
        return std::nullopt;
    }
    StyleFilter filter;
    filter.m_op = op->second;
    if (filter.m_op == Op::All || filter.m_op == Op::Any) {
        for (qsizetype i = 1; i < array.size(); ++i) {
            std::optional<StyleFilter> child = parse(array.at(i), error);
            if (!child)
                return std::nullopt;
            filter.m_children.push_back(std::move(*child));
        }
        return filter;
    }
    if (array.size() < 2 || !array.at(1).isString()) {
        error = QStringLiteral("filter \"%1\" needs an attribute name").arg(name);
        return std::nullopt;
    }
    filter.m_key = array.at(1).toString().toStdString();
    const bool keyOnly = filter.m_op == Op::Has || filter.m_op == Op::NotHas;
    const bool list = filter.m_op == Op::In || filter.m_op == Op::NotIn;
    if ((keyOnly && array.size() != 2) || (!keyOnly && !list && array.size() != 3)) {
        error = QStringLiteral("filter \"%1\" has the wrong number of arguments").arg(name);
        return std::nullopt;
    }
    for (qsizetype i = 2; i < array.size(); ++i) {
        std::optional<TileValue> value = literal(array.at(i));
        if (!value) {
            error = QStringLiteral("filter \"%1\" compares with a value that is not text, number or boolean").arg(name);
            return std::nullopt;
        }
        filter.m_values.push_back(std::move(*value));
    }
    return filter;
}

bool StyleFilter::compare(const TileValue* actual) const {
    switch (m_op) {
    case Op::Has:
        return actual != nullptr;
    case Op::NotHas:
        return actual == nullptr;
    case Op::Equal:
        return actual && sameValue(*actual, m_values[0]);
    case Op::NotEqual:
        return !actual || !sameValue(*actual, m_values[0]);
    case Op::In:
    case Op::NotIn: {
        bool found = false;
        for (const TileValue& value : m_values)
            found = found || (actual && sameValue(*actual, value));
        return m_op == Op::In ? found : !found;
    }
    default:
        break;
    }
    // The ordering comparisons need two numbers or two texts.
    const TileValue& wanted = m_values[0];
    if (!actual || actual->kind != wanted.kind)
        return false;
    int order = 0;
    if (wanted.kind == TileValue::Kind::Number) {
        if (std::isnan(actual->number) || std::isnan(wanted.number))
            return false;
        order = actual->number < wanted.number ? -1 : (actual->number > wanted.number ? 1 : 0);
    } else if (wanted.kind == TileValue::Kind::String) {
        const int c = actual->text.compare(wanted.text);
        order = c < 0 ? -1 : (c > 0 ? 1 : 0);
    } else {
        return false;
    }
    switch (m_op) {
    case Op::Less:
        return order < 0;
    case Op::LessEqual:
        return order <= 0;
    case Op::Greater:
        return order > 0;
    case Op::GreaterEqual:
        return order >= 0;
    default:
        return false;
    }
}

bool StyleFilter::matches(const TileLayer& layer, const TileFeature& feature) const {
    switch (m_op) {
    case Op::All:
        for (const StyleFilter& child : m_children) {
            if (!child.matches(layer, feature))
                return false;
        }
        return true;
    case Op::Any:
        for (const StyleFilter& child : m_children) {
            if (child.matches(layer, feature))
                return true;
        }
        return false;
    default:
        break;
    }
    if (m_key == "$type") {
        TileValue type;
        type.kind = TileValue::Kind::String;
        type.text = typeName(feature.type);
        return compare(&type);
    }
    const TileValue* value = layer.attribute(feature, m_key);
    // Maps made with tilemaker's stock profile carry names only as "name:latin".
    if (!value && m_key == "name")
        value = layer.attribute(feature, "name:latin");
    return compare(value);
}

} // namespace kestrova
