#pragma once

#include <optional>
#include <string>
#include <string_view>

// Unpacking of stored tile data: gzip or zlib streams are inflated, anything else is taken as it is.
namespace kestrova {

// The tile's bytes unpacked. gzip (1F 8B) and zlib (78 xx) data must inflate completely to at most
// maxBytes; a truncated, corrupt or oversized stream gives nothing.
std::optional<std::string> inflateTileData(std::string_view data, std::size_t maxBytes);

} // namespace kestrova
