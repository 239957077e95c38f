#include "messaging/rtf/rtf_character_buffer.h"

#include <span>

#include "common/utf16_text.h"

namespace velmora::messaging {

void RtfCharacterBuffer::SetCodePage(std::uint32_t codePage) {
    if (codePage == codePage_) return;
    DecodePending();
    codePage_ = codePage;
}

void RtfCharacterBuffer::AddCodePoint(std::uint32_t codePoint) {
    DecodePending();
    if (codePoint == 0 || codePoint > 0x10FFFF) return;
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        decoded_ += static_cast<char16_t>(0xD800 + (codePoint >> 10));
        decoded_ += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    } else {
        decoded_ += static_cast<char16_t>(codePoint);
    }
}

std::string RtfCharacterBuffer::Take() {
    DecodePending();
    std::string text = Utf8Of(decoded_);
    decoded_.clear();
    return text;
}

void RtfCharacterBuffer::DecodePending() {
    if (pending_.empty()) return;
    // NUL bytes would end the decoder's text early; they carry nothing here.
    std::erase(pending_, '\0');
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pending_.data());
    decoded_ += Decoder().Decode(std::span<const std::uint8_t>(bytes, pending_.size()));
    pending_.clear();
}

const common::CodePageDecoder& RtfCharacterBuffer::Decoder() {
    auto& decoder = decoders_[codePage_];
    if (!decoder) decoder = std::make_unique<common::CodePageDecoder>(codePage_);
    return *decoder;
}

std::string Utf8Of(std::u16string_view text) {
    return common::Utf16ToUtf8(text);
}

}  // namespace velmora::messaging
