// Characters of an RTF text as they arrive, 8-bit bytes in the document's code
// page mixed with \uN characters, collected and handed out as UTF-8.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "common/code_page_decoder.h"

namespace velmora::messaging {

class RtfCharacterBuffer {
  public:
    void SetCodePage(std::uint32_t codePage);
    void AddByte(std::uint8_t byte) { pending_.push_back(static_cast<char>(byte)); }
    void AddCodePoint(std::uint32_t codePoint);
    // The characters collected so far, as UTF-8; the buffer is empty afterwards.
    std::string Take();
    bool Empty() const { return pending_.empty() && decoded_.empty(); }

  private:
    void DecodePending();
    const common::CodePageDecoder& Decoder();

    std::uint32_t codePage_ = common::kWindowsWesternCodePage;
    std::string pending_;  // bytes in the code page
    std::u16string decoded_;
    std::map<std::uint32_t, std::unique_ptr<common::CodePageDecoder>> decoders_;
};

// UTF-16 text as UTF-8, unpaired surrogates as U+FFFD.
std::string Utf8Of(std::u16string_view text);

}  // namespace velmora::messaging
