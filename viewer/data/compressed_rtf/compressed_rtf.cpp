#include "viewer/data/compressed_rtf/compressed_rtf.h"

#include <cstring>

#include "viewer/data/compressed_rtf/compressed_rtf_header.h"
#include "viewer/data/compressed_rtf/compressed_rtf_lz.h"

namespace velmora {
namespace {

constexpr int kEndReferenceBytes = 2;
constexpr std::uint32_t kCrcPolynomial = 0xEDB88320;

std::string_view LzFailureText(LzStatus status) {
    switch (status) {
        case LzStatus::kOutputFull:
            return "output capacity reached before the data ended";
        case LzStatus::kTooLong:
            return "a reference passes the output capacity";
        case LzStatus::kTruncated:
            return "a reference is cut off at the end of the data";
        case LzStatus::kDone:
            break;
    }
    return {};
}

}  // namespace

int CLZFuCompression::Fail(std::string_view why) {
    failure_ = why;
    return -1;
}

int CLZFuCompression::Succeed() {
    failure_ = {};
    return 1;
}

int CLZFuCompression::GetRawSize(const std::uint8_t* stream, int length, int* rawSize) {
    if (rawSize == nullptr || length < 0) return Fail("no stream or no size to fill");
    CompressedRtfHeader header;
    if (auto why = ParseCompressedRtfHeader(stream, length, header); !why.empty()) return Fail(why);
    *rawSize = BoundedRawSize(header, kEndReferenceBytes);
    return Succeed();
}

int CLZFuCompression::Decompress(std::uint8_t* output, int* count, const std::uint8_t* input,
                                 int length) {
    if (output == nullptr || count == nullptr || input == nullptr || length < 0) {
        return Fail("no output, count or input");
    }
    CompressedRtfHeader header;
    if (auto why = ParseCompressedRtfHeader(input, length, header); !why.empty()) return Fail(why);
    const int needed = BoundedRawSize(header, 0);
    if (*count < needed) {
        *count = needed;
        return Fail("output capacity below the raw size");
    }
    const std::uint8_t* data = input + kCompressedRtfHeaderSize;
    if (!header.IsCompressed()) return CopyStoredData(output, count, data, header.dataLength);
    std::uint32_t crc = 0;
    ComputeCrc(&crc, data, header.dataLength);
    if (crc != header.crc) return Fail("CRC does not match the data");
    return DecodeData(output, count, data, header.dataLength);
}

int CLZFuCompression::DecodeData(std::uint8_t* output, int* count, const std::uint8_t* data,
                                 int length) {
    const LzResult result = DecodeLzTokens(data, length, output, *count);
    *count = result.count;
    return result.status == LzStatus::kDone ? Succeed() : Fail(LzFailureText(result.status));
}

// An uncompressed ("MELA") stream: its data bytes are the output.
int CLZFuCompression::CopyStoredData(std::uint8_t* output, int* count, const std::uint8_t* data,
                                     int length) {
    if (*count < length) {
        *count = length;
        return Fail("output capacity below the stored data");
    }
    if (length > 0) std::memcpy(output, data, static_cast<std::size_t>(length));
    *count = length;
    return Succeed();
}

int CLZFuCompression::ComputeCrc(std::uint32_t* result, const std::uint8_t* bytes, int count) {
    if (result == nullptr || bytes == nullptr || count < 0) return Fail("no bytes or no result");
    if (tableReady_ == 0) FillCrcTable();
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value >> 8) ^ crcTable_[(value ^ bytes[i]) & 0xFF];
    *result = value;
    return Succeed();
}

void CLZFuCompression::FillCrcTable() {
    for (std::uint32_t i = 0; i < crcTable_.size(); ++i) {
        std::uint32_t entry = i;
        for (int bit = 0; bit < 8; ++bit)
            entry = (entry & 1) ? (entry >> 1) ^ kCrcPolynomial : entry >> 1;
        crcTable_[i] = entry;
    }
    tableReady_ = 1;
}

}  // namespace velmora
