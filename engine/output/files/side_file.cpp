#include "engine/output/files/side_file.h"

#include <string>
#include <system_error>

#include "common/path_text.h"
#include "common/property_ids.h"
#include "engine/output/files/property_name_table.h"
#include "engine/output/files/safe_name.h"

namespace corvex {
namespace {

constexpr std::size_t DecimalDigits(unsigned value) {
    std::size_t digits = 1;
    for (; value >= 10; value /= 10) ++digits;
    return digits;
}

// The longest suffix FreeSideFilePath adds to a name.
constexpr std::size_t kLongestSuffixBytes = DecimalDigits(kMaxSideFileSuffix);

std::u16string_view Extension(std::uint16_t id) {
    if (id == common::prop::kBodyHtml) return u".html";
    if (id == common::prop::kBody) return u".txt";
    return u".bin.txt";
}

std::u16string Decimal(unsigned value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

bool IsTaken(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() !=
           std::filesystem::file_type::not_found;
}

}  // namespace

std::u16string SideFileName(std::uint16_t lineNumber, std::uint16_t id,
                            std::u16string_view suffix) {
    const std::u16string prefix = Decimal(lineNumber) + u".";
    const std::u16string_view extension = Extension(id);
    const std::size_t fixedBytes = prefix.size() + kLongestSuffixBytes + extension.size();
    const std::u16string name =
        common::CapUtf8Bytes(ReplaceUnsafeCharacters(PropertyNameTable::Shared().PropertyName(id)),
                             common::kMaxComponentBytes - fixedBytes);
    return prefix + name + std::u16string(suffix) + std::u16string(extension);
}

std::optional<std::filesystem::path> FreeSideFilePath(const std::filesystem::path& directory,
                                                      std::uint16_t lineNumber, std::uint16_t id) {
    std::filesystem::path path =
        directory / common::PathFromUtf16(SideFileName(lineNumber, id, u""));
    for (unsigned suffix = 1; IsTaken(path); ++suffix) {
        if (suffix > kMaxSideFileSuffix) return std::nullopt;
        path = directory / common::PathFromUtf16(SideFileName(lineNumber, id, Decimal(suffix)));
    }
    return path;
}

}  // namespace corvex
