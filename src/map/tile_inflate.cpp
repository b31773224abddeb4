#include "map/tile_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace kestrova {

namespace {

bool isCompressed(std::string_view data) {
    if (data.size() < 2)
        return false;
    const auto b0 = static_cast<unsigned char>(data[0]);
    const auto b1 = static_cast<unsigned char>(data[1]);
    const bool gzip = b0 == 0x1f && b1 == 0x8b;
    // A zlib header: deflate method, and the two bytes form a multiple of 31.
    const bool zlib = (b0 & 0x0f) == 8 && ((b0 << 8) | b1) % 31 == 0;
    return gzip || zlib;
}

} // namespace

std::optional<std::string> inflateTileData(std::string_view data, std::size_t maxBytes) {
    if (!isCompressed(data)) {
        if (data.size() > maxBytes)
            return std::nullopt;
        return std::string(data);
    }
    if (data.size() > UINT_MAX)
        return std::nullopt;

    z_stream stream{};
    // 15 + 32: the largest window, and the header (gzip or zlib) is detected from the data.
    if (inflateInit2(&stream, 15 + 32) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());

    std::string out;
    int status = Z_OK;
    while (status == Z_OK) {
        if (out.size() >= maxBytes) {
            // Room for one more byte tells an exact fit from an overflow.
            char probe = 0;
            stream.next_out = reinterpret_cast<Bytef*>(&probe);
            stream.avail_out = 1;
            status = inflate(&stream, Z_NO_FLUSH);
            if (stream.avail_out == 0)
                status = Z_BUF_ERROR;
            break;
        }
        const std::size_t chunk =
            std::min<std::size_t>(std::max<std::size_t>(data.size() * 4, 16384), maxBytes - out.size());
        const std::size_t used = out.size();
        out.resize(used + chunk);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        stream.avail_out = uInt(chunk);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(used + chunk - stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break; // input ended before the stream did
        if (status == Z_BUF_ERROR)
            status = Z_OK; // output space ran out; the loop grows it
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

} // namespace kestrova
