#include "viewer/data/compressed_rtf/compressed_rtf_file.h"

#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "common/path_text.h"
#include "viewer/data/compressed_rtf/compressed_rtf.h"
#include "viewer/data/mail_access/exported_value.h"

namespace velmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<Bytes> StoredBytes(const ExportedProp& prop) {
    if (prop.inFile != 0) {
        Bytes content;
        if (!ReadValueFile(prop, content)) return std::nullopt;
        return content;
    }
    if (prop.bytes == nullptr) return Bytes{};
    return Bytes(prop.bytes, prop.bytes + prop.byteCount);
}

// The decoded RTF, or nothing with `failure` set.
std::optional<Bytes> DecodeRtf(const Bytes& stored, std::string& failure) {
    if (stored.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        failure = "stream too large";
        return std::nullopt;
    }
    CLZFuCompression decoder;
    const int length = static_cast<int>(stored.size());
    int capacity = 0;
    if (decoder.GetRawSize(stored.data(), length, &capacity) != 1) {
        failure = decoder.FailureText();
        return std::nullopt;
    }
    Bytes output(static_cast<std::size_t>(capacity));
    int count = capacity;
    if (decoder.Decompress(output.data(), &count, stored.data(), length) != 1) {
        failure = decoder.FailureText();
        return std::nullopt;
    }
    output.resize(static_cast<std::size_t>(count));
    return output;
}

bool WriteBytes(std::ofstream& file, const Bytes& bytes) {
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

}  // namespace

RtfFileOutcome WriteRtfFile(const ExportedProp& prop, const std::u16string& target) {
    RtfFileOutcome outcome;
    std::ofstream file(common::PathFromUtf16(target), std::ios::binary | std::ios::trunc);
    if (!file) {
        outcome.failure = "cannot create the RTF file";
        return outcome;
    }
    const std::optional<Bytes> stored = StoredBytes(prop);
    if (!stored) {
        outcome.failure = "cannot read the value file";
        return outcome;
    }
    const std::optional<Bytes> rtf = DecodeRtf(*stored, outcome.failure);
    outcome.decoded = rtf.has_value();
    outcome.written = WriteBytes(file, rtf ? *rtf : *stored);
    if (!outcome.written) outcome.failure = "cannot write the RTF file";
    return outcome;
}

std::optional<Bytes> DecodedRtf(const ExportedProp& prop) {
    const std::optional<Bytes> stored = StoredBytes(prop);
    if (!stored) return std::nullopt;
    std::string failure;
    return DecodeRtf(*stored, failure);
}

}  // namespace velmora
