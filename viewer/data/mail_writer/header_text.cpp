#include "viewer/data/mail_writer/header_text.h"

#include "common/path_text.h"
#include "common/utf16_text.h"

namespace velmora {

std::string HeaderText(std::u16string_view text) {
    std::u16string clean(text);
    for (char16_t& c : clean) {
        if (c < 0x20 || c == 0x7F) c = u' ';
    }
    return common::Utf16ToUtf8(common::CapUtf8Bytes(clean, kMaxHeaderTextBytes));
}

std::string BareMessageId(std::string_view stored) {
    std::string id;
    for (const char c : stored) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && c != '<' && c != '>') id += c;
        if (id.size() >= kMaxHeaderTextBytes) break;
    }
    return id;
}

std::optional<std::int64_t> UnixSeconds(std::uint64_t fileTime) {
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    constexpr std::int64_t kLastSecondOf9999 = 253'402'300'799;
    const auto seconds =
        static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kSecondsFrom1601To1970;
    if (seconds < 0 || seconds > kLastSecondOf9999) return std::nullopt;
    return seconds;
}

}  // namespace velmora
