// Feeds arbitrary bytes to the compressed RTF decoder: with the capacity it
// asks for, with a small fixed capacity, and with the CRC field repaired so that
// the token decoding is reached. Any read or write out of bounds, any count past
// the capacity on success, or an allocation beyond the bound aborts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "viewer/data/compressed_rtf/compressed_rtf.h"
#include "viewer/data/compressed_rtf/compressed_rtf_header.h"

namespace {

constexpr int kSmallCapacity = 64;

void Check(bool condition) {
    if (!condition) std::abort();
}

void DecodeWithCapacity(const std::uint8_t* data, int length, int capacity) {
    // Exactly `capacity` bytes, so that ASan sees any write past it.
    std::vector<std::uint8_t> output(static_cast<std::size_t>(capacity));
    int count = capacity;
    velmora::CLZFuCompression decoder;
    const int result = decoder.Decompress(output.data(), &count, data, length);
    if (result == 1) Check(count >= 0 && count <= capacity);
}

void DecodeAsAsked(const std::uint8_t* data, int length) {
    velmora::CLZFuCompression decoder;
    int capacity = 0;
    if (decoder.GetRawSize(data, length, &capacity) != 1) return;
    Check(capacity >= 0 &&
          static_cast<std::int64_t>(capacity) <= 8 * static_cast<std::int64_t>(length));
    DecodeWithCapacity(data, length, capacity);
}

// The input with its CRC field set to the CRC of its data bytes.
std::vector<std::uint8_t> WithRepairedCrc(const std::uint8_t* data, int length) {
    std::vector<std::uint8_t> stream(data, data + length);
    if (length < velmora::kCompressedRtfHeaderSize) return stream;
    std::uint32_t crc = 0;
    velmora::CLZFuCompression().ComputeCrc(&crc, stream.data() + 16, length - 16);
    for (int i = 0; i < 4; ++i) stream[12 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const int length = static_cast<int>(size);
    DecodeAsAsked(data, length);
    DecodeWithCapacity(data, length, kSmallCapacity);
    const std::vector<std::uint8_t> repaired = WithRepairedCrc(data, length);
    DecodeAsAsked(repaired.data(), length);
    DecodeWithCapacity(repaired.data(), length, kSmallCapacity);
    return 0;
}
