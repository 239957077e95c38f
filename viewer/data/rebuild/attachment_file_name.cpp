#include "viewer/data/rebuild/attachment_file_name.h"

#include <array>

#include "common/utf16_text.h"

namespace velmora {
namespace {

bool IsReplaced(char16_t c) {
    return c < 0x20 || c == 0x7F ||
           std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos || c >= 0xFFF0;
}

// Half of a surrogate pair names no character, and no file system takes it.
void ReplaceUnpairedSurrogates(std::u16string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (common::IsHighSurrogate(name[i]) && i + 1 < name.size() &&
            common::IsLowSurrogate(name[i + 1])) {
            ++i;
        } else if (common::IsHighSurrogate(name[i]) || common::IsLowSurrogate(name[i])) {
            name[i] = u'_';
        }
    }
}

std::u16string_view LastComponent(std::u16string_view name) {
    while (!name.empty() && (name.back() == u'/' || name.back() == u'\\')) name.remove_suffix(1);
    const std::size_t slash = name.find_last_of(u"/\\");
    return slash == std::u16string_view::npos ? name : name.substr(slash + 1);
}

std::u16string Lowered(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    return lower;
}

bool IsDeviceName(std::u16string_view name) {
    static const std::array<std::u16string_view, 4> kPlain = {u"con", u"prn", u"aux", u"nul"};
    const std::u16string stem = Lowered(name.substr(0, name.find(u'.')));
    for (const auto device : kPlain) {
        if (stem == device) return true;
    }
    return stem.size() == 4 && (stem.starts_with(u"com") || stem.starts_with(u"lpt")) &&
           stem[3] >= u'1' && stem[3] <= u'9';
}

std::size_t Utf8Length(std::u16string_view text) {
    return common::Utf16ToUtf8(text).size();
}

// Drops characters from the end of `text` until it fits `bytes`, never splitting a surrogate pair.
std::u16string FittedTo(std::u16string text, std::size_t bytes) {
    while (!text.empty() && Utf8Length(text) > bytes) {
        text.pop_back();
        if (!text.empty() && common::IsHighSurrogate(text.back())) text.pop_back();
    }
    return text;
}

std::u16string Shortened(const std::u16string& name) {
    if (Utf8Length(name) <= kMaxAttachmentNameBytes) return name;
    const std::size_t dot = name.find_last_of(u'.');
    const std::u16string extension = dot != std::u16string::npos && name.size() - dot <= 16
                                         ? name.substr(dot)
                                         : std::u16string();
    const std::size_t extensionBytes = Utf8Length(extension);
    return FittedTo(name.substr(0, name.size() - extension.size()),
                    kMaxAttachmentNameBytes - extensionBytes) +
           extension;
}

// Splits "name.ext" into "name" and ".ext" (no extension for a name without a dot).
std::pair<std::u16string, std::u16string> StemAndExtension(const std::u16string& name) {
    const std::size_t dot = name.find_last_of(u'.');
    if (dot == std::u16string::npos || dot == 0) return {name, {}};
    return {name.substr(0, dot), name.substr(dot)};
}

}  // namespace

std::u16string SafeAttachmentFileName(std::u16string_view original) {
    std::u16string name(LastComponent(original));
    ReplaceUnpairedSurrogates(name);
    for (char16_t& c : name) {
        if (IsReplaced(c)) c = u'_';
    }
    while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.pop_back();
    while (!name.empty() && name.front() == u' ') name.erase(0, 1);
    if (!name.empty() && name.front() == u'.') name.front() = u'_';
    if (name.empty()) return kUnnamedAttachment;
    if (IsDeviceName(name)) name = u"_" + name;
    return Shortened(name);
}

std::u16string AttachmentFileNames::Take(std::u16string_view original) {
    const std::u16string safe = SafeAttachmentFileName(original);
    std::u16string candidate = safe;
    const auto [stem, extension] = StemAndExtension(safe);
    for (int n = 2; taken_.contains(Lowered(candidate)); ++n) {
        const std::u16string suffix = common::Utf8ToUtf16(" (" + std::to_string(n) + ")");
        candidate = FittedTo(stem, kMaxAttachmentNameBytes - Utf8Length(suffix + extension)) +
                    suffix + extension;
    }
    taken_.insert(Lowered(candidate));
    return candidate;
}

}  // namespace velmora
