// Inflation of compressed 4K-variant blocks: libdeflate for whole streams,
// zlib to salvage damaged ones. Only the 4K library links either.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvex {

// Inflates the zlib stream in `source` into `destination`, never writing more
// than `destinationSize` bytes. Stops quietly at the end of the stream or at the
// first error: whatever was produced stays, the rest of `destination` is
// zeros. Returns the number of bytes produced.
std::size_t InflateBlock(const std::uint8_t* source, std::size_t sourceSize,
                         std::uint8_t* destination, std::size_t destinationSize);

// Deflates `source` at the default level; used by our store writer.
bool DeflateBlock(const std::uint8_t* source, std::size_t sourceSize, std::uint8_t* destination,
                  std::size_t& destinationSize);

}  // namespace corvex
