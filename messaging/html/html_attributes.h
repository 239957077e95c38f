// Deciding what happens to one attribute of an HTML start tag.
#pragma once

#include <string>
#include <string_view>

namespace velmora::messaging {

struct HtmlAttribute {
    std::string name;   // lower case
    std::string value;  // with character references decoded
    bool hasValue = false;
};

enum class AttributeAction { Keep, Drop, Block };

// Drop for event handlers and active URLs; Block for a resource loaded from
// outside the page; Keep otherwise.
AttributeAction ClassifyAttribute(const HtmlAttribute& attribute);

// The URL's scheme in lower case after blanks and control characters are taken
// out ("" for a relative URL).
std::string UrlScheme(std::string_view value);

}  // namespace velmora::messaging
