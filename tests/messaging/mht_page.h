// An MHTML file read back with GMime: its headers, its page and its parts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

struct MhtPart {
    std::string contentType;
    std::string contentId;
    std::string body;  // decoded
};

struct MhtPage {
    bool parsed = false;
    std::string rootType;  // "multipart/related"
    std::string headers;   // the raw header block
    std::string html;      // the first part, decoded and converted to UTF-8
    std::vector<MhtPart> resources;
};

MhtPage ReadMht(const std::filesystem::path& file);

// The text a reader sees: tags, head, style and script contents taken out,
// character references decoded, blanks collapsed.
std::string VisibleText(const std::string& html);

// Lower-case words of letters and digits (bytes above 0x7F count as letters).
std::vector<std::string> Words(const std::string& text);

}  // namespace velmora::test
