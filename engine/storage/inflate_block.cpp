#include "engine/storage/inflate_block.h"

#include <libdeflate.h>
#include <zlib.h>

#include <cstring>
#include <limits>
#include <memory>

namespace corvex {
namespace {

struct DecompressorDeleter {
    void operator()(libdeflate_decompressor* decompressor) const {
        libdeflate_free_decompressor(decompressor);
    }
};

// One per thread: a decompressor keeps its tables between calls and may not
// be shared, and the engine's walks run on whichever thread the viewer picks.
libdeflate_decompressor* ThreadDecompressor() {
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(
        libdeflate_alloc_decompressor());
    return decompressor.get();
}

// zlib's streaming inflater, which keeps what a damaged stream gives up to
// where it breaks. A block is at most 64 KiB either way, so one call sees all
// of it, and asking for the end of the stream lets zlib skip its 32 KiB
// history window.
std::size_t SalvageInflate(const std::uint8_t* source, std::size_t sourceSize,
                           std::uint8_t* destination, std::size_t destinationSize) {
    if (sourceSize > std::numeric_limits<uInt>::max() ||
        destinationSize > std::numeric_limits<uInt>::max())
        return 0;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return 0;
    stream.next_in = const_cast<Bytef*>(source);
    stream.avail_in = static_cast<uInt>(sourceSize);
    stream.next_out = destination;
    stream.avail_out = static_cast<uInt>(destinationSize);
    inflate(&stream, Z_FINISH);
    const std::size_t produced = destinationSize - stream.avail_out;
    inflateEnd(&stream);
    return produced;
}

}  // namespace

std::size_t InflateBlock(const std::uint8_t* source, std::size_t sourceSize,
                         std::uint8_t* destination, std::size_t destinationSize) {
    // Whole streams, nearly every block, take libdeflate's faster path.
    std::size_t produced = 0;
    libdeflate_decompressor* decompressor = ThreadDecompressor();
    const bool whole = decompressor != nullptr &&
                       libdeflate_zlib_decompress(decompressor, source, sourceSize, destination,
                                                  destinationSize, &produced) == LIBDEFLATE_SUCCESS;
    // A damaged stream: libdeflate gives all or nothing and leaves the buffer
    // undefined, so zlib reads it again for what precedes the break.
    if (!whole) produced = SalvageInflate(source, sourceSize, destination, destinationSize);
    if (produced < destinationSize)
        std::memset(destination + produced, 0, destinationSize - produced);
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
