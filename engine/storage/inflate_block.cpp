#include "engine/storage/inflate_block.h"

#include <zlib.h>

#include <algorithm>

namespace corvex {
namespace {
// Input and output are offered to zlib in windows of this size.
constexpr std::size_t kWindow = 32768;
}  // namespace

std::size_t InflateBlock(const std::uint8_t* source, std::size_t sourceSize, std::uint8_t* destination,
                         std::size_t destinationSize) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return 0;
    std::size_t consumed = 0;
    std::size_t produced = 0;
    int status = Z_OK;
    while (status == Z_OK && produced < destinationSize) {
        const std::size_t inChunk = std::min(kWindow, sourceSize - consumed);
        const std::size_t outChunk = std::min(kWindow, destinationSize - produced);
        stream.next_in = const_cast<Bytef*>(source + consumed);
        stream.avail_in = static_cast<uInt>(inChunk);
        stream.next_out = destination + produced;
        stream.avail_out = static_cast<uInt>(outChunk);
        status = inflate(&stream, Z_NO_FLUSH);
        consumed += inChunk - stream.avail_in;
        produced += outChunk - stream.avail_out;
        // No progress on either side means the stream is stuck (truncated input).
        if (status == Z_OK && stream.avail_in == inChunk && stream.avail_out == outChunk) break;
    }
    inflateEnd(&stream);
    return produced;
}

bool DeflateBlock(const std::uint8_t* source, std::size_t sourceSize, std::uint8_t* destination,
                  std::size_t& destinationSize) {
    uLongf size = static_cast<uLongf>(destinationSize);
    if (compress2(destination, &size, source, static_cast<uLong>(sourceSize), Z_DEFAULT_COMPRESSION) != Z_OK) {
        return false;
    }
    destinationSize = size;
    return true;
}

}  // namespace corvex
