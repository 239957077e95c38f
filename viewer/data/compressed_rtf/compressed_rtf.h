// The decoder of compressed RTF message bodies (the value of PR_RTF_COMPRESSED):
// checks the stream header and CRC and expands the LZ back-references.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace velmora {

// Built for each decode. All operations return 1 on success and -1 on failure;
// FailureText() then says why, for the caller to report.
class CLZFuCompression {
  public:
    CLZFuCompression() = default;
    virtual ~CLZFuCompression() = default;

    // Sets `*rawSize` to the output capacity a decode of `stream` needs: the
    // declared raw size plus the 2 bytes of the usual end reference, capped by
    // what the stream's data can produce (so a lying header never asks for more).
    int GetRawSize(const std::uint8_t* stream, int length, int* rawSize);

    // Decodes `input` into `output`. `*count` holds the capacity on entry and the
    // output count on return: on failure 0, the needed size or the count reached,
    // or it is left untouched when the stream itself is rejected.
    int Decompress(std::uint8_t* output, int* count, const std::uint8_t* input, int length);

    // The stream CRC-32: reflected polynomial 0xEDB88320, starting at 0, no final inversion.
    int ComputeCrc(std::uint32_t* result, const std::uint8_t* bytes, int count);

    // Why the last operation failed; empty after a success.
    std::string_view FailureText() const { return failure_; }

  private:
    int Fail(std::string_view why);
    int Succeed();
    void FillCrcTable();
    int DecodeData(std::uint8_t* output, int* count, const std::uint8_t* data, int length);
    int CopyStoredData(std::uint8_t* output, int* count, const std::uint8_t* data, int length);

    std::array<std::uint32_t, 256> crcTable_{};
    int tableReady_ = 0;
    std::string_view failure_;
};

}  // namespace velmora
