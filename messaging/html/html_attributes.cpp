#include "messaging/html/html_attributes.h"

#include <array>
#include <cctype>

#include "messaging/html/html_names.h"

namespace velmora::messaging {
namespace {

// Attributes whose URL a browser loads while showing the page.
constexpr std::array<std::string_view, 14> kResourceAttributes = {
    "src",    "background", "poster",  "lowsrc",  "dynsrc",  "data",       "codebase",
    "srcset", "manifest",   "archive", "classid", "profile", "xlink:href", "imagesrcset"};
// Attributes whose URL is followed only when the reader asks for it.
constexpr std::array<std::string_view, 6> kLinkAttributes = {"href", "action",   "formaction",
                                                             "cite", "longdesc", "usemap"};

// The value as a browser reads a URL: without blanks and control characters, in lower case.
std::string Compact(std::string_view value) {
    std::string compact;
    for (const char c : value) {
        if (static_cast<unsigned char>(c) > 0x20)
            compact += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return compact;
}

// True when every candidate of a srcset list is one of the page's own parts.
bool IsLocalSourceSet(const std::string& compact) {
    for (std::size_t pos = 0; pos <= compact.size();) {
        std::size_t comma = compact.find(',', pos);
        if (comma == std::string::npos) comma = compact.size();
        if (compact.compare(pos, 4, "cid:") != 0) return false;
        pos = comma + 1;
    }
    return true;
}

}  // namespace

std::string UrlScheme(std::string_view value) {
    const std::string compact = Compact(value);
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
    const std::string compact = Compact(attribute.value);
    if (compact.empty() || compact.starts_with('#')) return AttributeAction::Keep;
    if (name == "srcset")
        return IsLocalSourceSet(compact) ? AttributeAction::Keep : AttributeAction::Block;
    if (scheme == "cid") return AttributeAction::Keep;
    if (compact.starts_with("data:image/") && name != "data" && name != "codebase")
        return AttributeAction::Keep;
    return AttributeAction::Block;
}

}  // namespace velmora::messaging
