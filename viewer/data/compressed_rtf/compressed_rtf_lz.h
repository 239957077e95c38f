// The LZ back-reference decoding of compressed RTF: a 4096-byte dictionary
// primed with a fixed RTF preamble, and the token loop over the data bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora {

// The 207 bytes every dictionary starts with.
inline constexpr std::string_view kInitialRtfDictionary =
    "{\\rtf1\\ansi\\mac\\deff0\\deftab720{\\fonttbl;}{\\f0\\fnil \\froman \\fswiss \\fmodern "
    "\\fscript \\fdecor MS Sans SerifSymbolArialTimes New RomanCourier{\\colortbl\\red0\\green0"
    "\\blue0\r\n\\par \\pard\\plain\\f0\\fs20\\b\\i\\u\\tab\\tx";
static_assert(kInitialRtfDictionary.size() == 207);

// The sliding window. The slot at the write position is always 0, so a
// reference to the write position (the usual end of a stream) yields NUL bytes.
class RtfDictionary {
  public:
    static constexpr std::size_t kSize = 4096;

    RtfDictionary();
    std::uint8_t At(std::size_t offset) const { return bytes_[offset % kSize]; }
    void Append(std::uint8_t byte);

  private:
    std::array<std::uint8_t, kSize> bytes_{};
    std::size_t write_ = kInitialRtfDictionary.size();
};

enum class LzStatus {
    kDone,        // the data bytes are used up
    kOutputFull,  // a literal found the output at its capacity
    kTooLong,     // a reference would pass the capacity
    kTruncated,   // a reference with fewer than 2 data bytes left
};

struct LzResult {
    LzStatus status = LzStatus::kDone;
    int count = 0;  // the output count to report, as each status defines it
};

// Decodes `length` data bytes into `output`, never writing more than `capacity`
// bytes nor reading past the data.
LzResult DecodeLzTokens(const std::uint8_t* data, int length, std::uint8_t* output, int capacity);

}  // namespace velmora
