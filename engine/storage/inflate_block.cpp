#include "engine/storage/inflate_block.h"

#include <zlib.h>

#include <limits>

namespace corvex {

std::size_t InflateBlock(const std::uint8_t* source, std::size_t sourceSize,
                         std::uint8_t* destination, std::size_t destinationSize) {
    // A block is at most 64 KiB either way, so one call sees all of it. Asking
    // for the end of the stream lets zlib skip its 32 KiB history window, which
    // it would otherwise allocate and fill for every block.
    if (sourceSize > std::numeric_limits<uInt>::max() ||
        destinationSize > std::numeric_limits<uInt>::max())
        return 0;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return 0;
    stream.next_in = const_cast<Bytef*>(source);
    stream.avail_in = static_cast<uInt>(sourceSize);
    stream.next_out = destination;
    stream.avail_out = static_cast<uInt>(destinationSize);
    // A truncated or corrupt stream stops where it breaks; what came out is kept.
    inflate(&stream, Z_FINISH);
    const std::size_t produced = destinationSize - stream.avail_out;
    inflateEnd(&stream);
    return produced;
}

bool DeflateBlock(const std::uint8_t* source, std::size_t sourceSize, std::uint8_t* destination,
                  std::size_t& destinationSize) {
    uLongf size = static_cast<uLongf>(destinationSize);
    if (compress2(destination, &size, source, static_cast<uLong>(sourceSize),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        return false;
    }
    destinationSize = size;
    return true;
}

}  // namespace corvex
