#include "messaging/html/html_charset.h"

#include <algorithm>
#include <cctype>

#include "messaging/html/html_names.h"

namespace velmora::messaging {
namespace {

bool IsCharsetCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// The value after "charset=" in the first <meta that has one, within the first 4 KiB.
std::string MetaCharset(std::string_view html) {
    const std::string head = AsciiLower(html.substr(0, std::min<std::size_t>(html.size(), 4096)));
    for (std::size_t meta = head.find("<meta"); meta != std::string::npos;
         meta = head.find("<meta", meta + 5)) {
        const std::size_t end = head.find('>', meta);
        const std::size_t found = head.find("charset", meta);
        if (found == std::string::npos || (end != std::string::npos && found > end)) continue;
        std::size_t pos = head.find_first_not_of(" \t\r\n=\"'", found + 7);
        if (pos == std::string::npos) return {};
        const std::size_t stop = pos;
        while (pos < head.size() && IsCharsetCharacter(head[pos])) ++pos;
        return head.substr(stop, pos - stop);
    }
    return {};
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80           ? 1
                             : (c >> 5) == 0x6  ? 2
                             : (c >> 4) == 0xE  ? 3
                             : (c >> 3) == 0x1E ? 4
                                                : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

std::string DetectHtmlCharset(std::string_view html) {
    std::string charset = MetaCharset(html);
    if (!charset.empty()) return charset;
    return IsValidUtf8(html) ? "utf-8" : "windows-1252";
}

std::string StoredHtmlCharset(std::string_view html) {
    const std::string charset = DetectHtmlCharset(html);
    if (charset.starts_with("utf-16") || charset == "unicode" || charset.starts_with("utf-7") ||
        charset.ends_with("-utf7"))
        return IsValidUtf8(html) ? "utf-8" : "windows-1252";
    return charset;
}

}  // namespace velmora::messaging
