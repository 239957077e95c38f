#include "messaging/html/html_attributes.h"

#include <array>
#include <cctype>

namespace velmora::messaging {
namespace {

// Attributes whose URL a browser loads while showing the page.
constexpr std::array<std::string_view, 14> kResourceAttributes = {
    "src",    "background", "poster",  "lowsrc",  "dynsrc",  "data",       "codebase",
    "srcset", "manifest",   "archive", "classid", "profile", "xlink:href", "imagesrcset"};
// Attributes whose URL is followed only when the reader asks for it.
constexpr std::array<std::string_view, 6> kLinkAttributes = {"href", "action",   "formaction",
                                                             "cite", "longdesc", "usemap"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
    for (const auto entry : names) {
        if (entry == name) return true;
    }
    return false;
}

// Decodes &#NN; &#xHH; and the few named references that can hide a ":".
std::string DecodedReferences(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '&') {
            out += value[i];
            continue;
        }
        const std::size_t semicolon = value.find(';', i);
        const std::size_t end = semicolon == std::string_view::npos ? value.size() : semicolon;
        const std::string_view entity = value.substr(i + 1, end - i - 1);
        if (entity == "colon")
            out += ':';
        else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x' || entity[1] == 'X';
            unsigned long code = 0;
            for (const char c : entity.substr(hex ? 2 : 1)) {
                if (!std::isxdigit(static_cast<unsigned char>(c))) break;
                code = code * (hex ? 16 : 10) +
                       static_cast<unsigned long>(std::isdigit(static_cast<unsigned char>(c))
                                                      ? c - '0'
                                                      : (std::tolower(c) - 'a' + 10));
                if (code > 0x10FFFF) break;
            }
            out += code < 0x80 ? static_cast<char>(code) : '?';
        }
        i = end;
    }
    return out;
}

}  // namespace

std::string UrlScheme(std::string_view value) {
    std::string compact;
    for (const char c : DecodedReferences(value)) {
        if (static_cast<unsigned char>(c) > 0x20)
            compact += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const std::size_t colon = compact.find(':');
    if (compact.starts_with("//")) return "//";
    if (colon == std::string::npos) return {};
    const std::string scheme = compact.substr(0, colon);
    for (const char c : scheme) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return scheme;
}

AttributeAction ClassifyAttribute(const HtmlAttribute& attribute) {
    const std::string& name = attribute.name;
    if (name.starts_with("on") || name == "ping" || name == "srcdoc") return AttributeAction::Drop;
    const bool resource = Contains(kResourceAttributes, name);
    const bool link = Contains(kLinkAttributes, name);
    if (!resource && !link) return AttributeAction::Keep;
    const std::string scheme = UrlScheme(attribute.value);
    if (scheme == "javascript" || scheme == "vbscript" || scheme == "livescript")
        return AttributeAction::Drop;
    if (!resource) return scheme == "data" ? AttributeAction::Drop : AttributeAction::Keep;
    if (scheme == "cid") return AttributeAction::Keep;
    if (scheme == "data" && name != "srcset" && name != "data" && name != "codebase")
        return AttributeAction::Keep;
    return attribute.value.empty() ? AttributeAction::Keep : AttributeAction::Block;
}

}  // namespace velmora::messaging
