#include "map/vector_tile.h"

#include <protozero/exception.hpp>
#include <protozero/pbf_reader.hpp>
#include <protozero/varint.hpp>

#include <algorithm>
#include <cstdlib>

namespace kestrova {

namespace {

using protozero::pbf_wire_type;

enum LayerField : uint32_t {
    LayerName = 1,
    LayerFeatures = 2,
    LayerKeys = 3,
    LayerValues = 4,
    LayerExtent = 5,
    LayerVersion = 15
};
enum FeatureField : uint32_t { FeatureTags = 2, FeatureType = 3, FeatureGeometry = 4 };
enum Command : uint32_t { MoveTo = 1, LineTo = 2, ClosePath = 7 };

// Coordinates may leave the tile by its buffer; anything further out than this is taken as garbage.
constexpr int64_t kCoordinateReach = 16;

// Reads a repeated uint32 field, packed or not, onto the end of out.
void appendUint32s(protozero::pbf_reader& message, std::vector<uint32_t>& out) {
    if (message.wire_type() == pbf_wire_type::length_delimited) {
        for (const uint32_t value : message.get_packed_uint32())
            out.push_back(value);
    } else if (message.wire_type() == pbf_wire_type::varint) {
        out.push_back(message.get_uint32());
    } else {
        throw protozero::exception{};
    }
}

TileValue decodeValue(protozero::data_view data) {
    TileValue value;
    protozero::pbf_reader message(data);
    while (message.next()) {
        const auto type = message.wire_type();
        switch (message.tag()) {
        case 1:
            if (type != pbf_wire_type::length_delimited)
                return {};
            value.kind = TileValue::Kind::String;
            value.text = message.get_string();
            break;
        case 2:
            if (type != pbf_wire_type::fixed32)
                return {};
            value.kind = TileValue::Kind::Number;
            value.number = message.get_float();
            break;
        case 3:
            if (type != pbf_wire_type::fixed64)
                return {};
            value.kind = TileValue::Kind::Number;
            value.number = message.get_double();
            break;
        case 4:
        case 5:
        case 6:
            if (type != pbf_wire_type::varint)
                return {};
            value.kind = TileValue::Kind::Number;
            if (message.tag() == 4)
                value.number = double(message.get_int64());
            else if (message.tag() == 5)
                value.number = double(message.get_uint64());
            else
                value.number = double(message.get_sint64());
            break;
        case 7:
            if (type != pbf_wire_type::varint)
                return {};
            value.kind = TileValue::Kind::Bool;
            value.flag = message.get_bool();
            break;
        default:
            message.skip();
        }
    }
    return value;
}

int64_t signedArea2(const TilePoint* first, const TilePoint* last) {
    int64_t sum = 0;
    const auto count = last - first;
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const TilePoint& a = first[i];
        const TilePoint& b = first[(i + 1) % count];
        sum += int64_t(a.x) * b.y - int64_t(b.x) * a.y;
    }
    return sum;
}

// Builds the parts of one feature from its command stream onto the end of the layer's arrays. Returns
// false for a malformed stream; the caller then rolls the arrays back.
class GeometryBuilder {
public:
    GeometryBuilder(TileLayer& layer, GeometryType type)
        : m_layer(layer), m_type(type), m_limit(kCoordinateReach * layer.extent + 64),
          m_firstPart(layer.partEnds.size()) {}

    bool build(const std::vector<uint32_t>& commands) {
        std::size_t i = 0;
        const std::size_t n = commands.size();
        while (i < n) {
            const uint32_t id = commands[i] & 0x7;
            const uint32_t count = commands[i] >> 3;
            ++i;
            if (id == MoveTo || id == LineTo) {
                if (count == 0 || count > (n - i) / 2)
                    return false;
                if (id == MoveTo && m_type != GeometryType::Point && (count != 1 || !closeOpenPart()))
                    return false;
                if (id == LineTo && (m_type == GeometryType::Point || !m_open))
                    return false;
                for (uint32_t k = 0; k < count; ++k, i += 2) {
                    m_x += protozero::decode_zigzag32(commands[i]);
                    m_y += protozero::decode_zigzag32(commands[i + 1]);
                    if (std::llabs(m_x) > m_limit || std::llabs(m_y) > m_limit)
                        return false;
                    m_layer.points.push_back({int32_t(m_x), int32_t(m_y)});
                    if (m_type == GeometryType::Point)
                        m_layer.partEnds.push_back(uint32_t(m_layer.points.size()));
                }
                m_open = m_type != GeometryType::Point;
            } else if (id == ClosePath) {
                if (count != 1 || m_type != GeometryType::Polygon || !m_open)
                    return false;
                m_closed = true;
                if (!closeOpenPart())
                    return false;
            } else {
                return false;
            }
        }
        if (!closeOpenPart())
            return false;
        if (m_type == GeometryType::Polygon)
            orientRings();
        return m_layer.partEnds.size() > m_firstPart;
    }

private:
    // Ends the part being built. A line needs two points; a ring must have been closed and is dropped
    // (without failing the feature) when it has fewer than three points or no area.
    bool closeOpenPart() {
        if (!m_open)
            return true;
        m_open = false;
        const uint32_t begin = m_layer.partBegin(uint32_t(m_layer.partEnds.size()));
        const uint32_t end = uint32_t(m_layer.points.size());
        if (m_type == GeometryType::LineString) {
            if (end - begin < 2)
                return false;
            m_layer.partEnds.push_back(end);
            return true;
        }
        if (!m_closed)
            return false;
        m_closed = false;
        if (end - begin < 3 || signedArea2(&m_layer.points[begin], &m_layer.points[begin] + (end - begin)) == 0) {
            m_layer.points.resize(begin);
            return true;
        }
        m_layer.partEnds.push_back(end);
        return true;
    }

    // The first ring is an exterior. When it runs the wrong way the whole feature is wound backwards,
    // so every ring is reversed: exteriors then have positive area and holes negative.
    void orientRings() {
        if (m_layer.partEnds.size() == m_firstPart)
            return;
        const uint32_t firstBegin = m_layer.partBegin(uint32_t(m_firstPart));
        const uint32_t firstEnd = m_layer.partEnds[m_firstPart];
        if (signedArea2(&m_layer.points[firstBegin], &m_layer.points[firstBegin] + (firstEnd - firstBegin)) > 0)
            return;
        for (std::size_t part = m_firstPart; part < m_layer.partEnds.size(); ++part) {
            const uint32_t begin = m_layer.partBegin(uint32_t(part));
            std::reverse(m_layer.points.begin() + begin, m_layer.points.begin() + m_layer.partEnds[part]);
        }
    }

    TileLayer& m_layer;
    GeometryType m_type;
    int64_t m_limit;
    std::size_t m_firstPart;
    int64_t m_x = 0;
    int64_t m_y = 0;
    bool m_open = false;
    bool m_closed = false;
};

void decodeFeature(protozero::data_view data, TileLayer& layer, std::vector<uint32_t>& rawTags,
                   std::vector<uint32_t>& commands) {
    rawTags.clear();
    commands.clear();
    uint32_t type = 0;
    protozero::pbf_reader message(data);
    while (message.next()) {
        switch (message.tag()) {
        case FeatureTags:
            appendUint32s(message, rawTags);
            break;
        case FeatureType:
            if (message.wire_type() != pbf_wire_type::varint)
                return;
            type = message.get_uint32();
            break;
        case FeatureGeometry:
            appendUint32s(message, commands);
            break;
        default:
            message.skip();
        }
    }
    if (type < 1 || type > 3)
        return;

    TileFeature feature;
    feature.type = GeometryType(type);
    feature.tagBegin = uint32_t(layer.tags.size());
    feature.partBegin = uint32_t(layer.partEnds.size());
    const std::size_t pointCount = layer.points.size();
    GeometryBuilder builder(layer, feature.type);
    if (!builder.build(commands)) {
        layer.points.resize(pointCount);
        layer.partEnds.resize(feature.partBegin);
        return;
    }
    feature.partEnd = uint32_t(layer.partEnds.size());
    for (std::size_t i = 0; i + 1 < rawTags.size(); i += 2) {
        const uint32_t key = rawTags[i];
        const uint32_t value = rawTags[i + 1];
        if (key < layer.keys.size() && value < layer.values.size() &&
            layer.values[value].kind != TileValue::Kind::None) {
            layer.tags.push_back(key);
            layer.tags.push_back(value);
        }
    }
    feature.tagEnd = uint32_t(layer.tags.size());
    layer.features.push_back(feature);
}

// A layer's fields may come in any order, so features are decoded once names, keys and values are known.
bool decodeLayer(protozero::data_view data, TileLayer& layer) {
    std::vector<protozero::data_view> features;
    uint32_t version = 1;
    protozero::pbf_reader message(data);
    while (message.next()) {
        const auto type = message.wire_type();
        switch (message.tag()) {
        case LayerName:
            if (type != pbf_wire_type::length_delimited)
                return false;
            layer.name = message.get_string();
            break;
        case LayerFeatures:
            if (type != pbf_wire_type::length_delimited)
                return false;
            features.push_back(message.get_view());
            break;
        case LayerKeys:
            if (type != pbf_wire_type::length_delimited)
                return false;
            layer.keys.push_back(message.get_string());
            break;
        case LayerValues:
            if (type != pbf_wire_type::length_delimited)
                return false;
            layer.values.push_back(decodeValue(message.get_view()));
            break;
        case LayerExtent:
            if (type != pbf_wire_type::varint)
                return false;
            layer.extent = message.get_uint32();
            break;
        case LayerVersion:
            if (type != pbf_wire_type::varint)
                return false;
            version = message.get_uint32();
            break;
        default:
            message.skip();
        }
    }
    if (layer.name.empty() || layer.extent == 0 || version < 1 || version > 2)
        return false;

    std::vector<uint32_t> rawTags;
    std::vector<uint32_t> commands;
    for (const protozero::data_view& feature : features) {
        try {
            decodeFeature(feature, layer, rawTags, commands);
        } catch (const protozero::exception&) {
            // A feature that does not parse is skipped; the rest of the layer still counts.
        }
    }
    return true;
}

} // namespace

const TileValue* TileLayer::attribute(const TileFeature& feature, std::string_view key) const {
    for (uint32_t i = feature.tagBegin; i + 1 < feature.tagEnd; i += 2) {
        if (keys[tags[i]] == key)
            return &values[tags[i + 1]];
    }
    return nullptr;
}

std::size_t TileLayer::memoryBytes() const {
    std::size_t bytes = sizeof(TileLayer) + name.capacity();
    for (const std::string& key : keys)
        bytes += sizeof(std::string) + key.capacity();
    for (const TileValue& value : values)
        bytes += sizeof(TileValue) + value.text.capacity();
    bytes += features.capacity() * sizeof(TileFeature) + tags.capacity() * sizeof(uint32_t) +
             points.capacity() * sizeof(TilePoint) + partEnds.capacity() * sizeof(uint32_t);
    return bytes;
}

const TileLayer* VectorTile::layer(std::string_view name) const {
    for (const TileLayer& candidate : layers) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

std::size_t VectorTile::memoryBytes() const {
    std::size_t bytes = sizeof(VectorTile);
    for (const TileLayer& layer : layers)
        bytes += layer.memoryBytes();
    return bytes;
}

VectorTile decodeVectorTile(std::string_view data) {
    VectorTile tile;
    try {
        protozero::pbf_reader message(data.data(), data.size());
        while (message.next()) {
            if (message.tag() != 3 || message.wire_type() != pbf_wire_type::length_delimited) {
                message.skip();
                continue;
            }
            const protozero::data_view view = message.get_view();
            TileLayer layer;
            try {
                if (decodeLayer(view, layer))
                    tile.layers.push_back(std::move(layer));
            } catch (const protozero::exception&) {
                // The layer is left out; its bytes were within the tile, so the next layer can still be read.
            }
        }
    } catch (const protozero::exception&) {
        // The tile's own framing broke: keep the layers read before the break.
    }
    return tile;
}

} // namespace kestrova
