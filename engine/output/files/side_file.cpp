#include "engine/output/files/side_file.h"

#include <string>

#include "common/path_text.h"
#include "common/property_ids.h"
#include "engine/output/files/binary_file.h"
#include "common/property_name_table.h"
#include "engine/output/files/safe_name.h"

namespace corvex {
namespace {

constexpr std::size_t DecimalDigits(unsigned value) {
    std::size_t digits = 1;
    for (; value >= 10; value /= 10) ++digits;
    return digits;
}

// The longest suffix WriteSideFile adds to a name.
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

}  // namespace

std::u16string SideFileName(std::uint16_t lineNumber, std::uint16_t id,
                            std::u16string_view suffix) {
    const std::u16string prefix = Decimal(lineNumber) + u".";
    const std::u16string_view extension = Extension(id);
    const std::size_t fixedBytes = prefix.size() + kLongestSuffixBytes + extension.size();
    const std::u16string name =
        common::CapUtf8Bytes(ReplaceUnsafeCharacters(common::PropertyNameTable::Shared().PropertyName(id)),
                             common::kMaxComponentBytes - fixedBytes);
    return prefix + name + std::u16string(suffix) + std::u16string(extension);
}

std::optional<std::filesystem::path> WriteSideFile(const std::filesystem::path& directory,
                                                   std::uint16_t lineNumber, std::uint16_t id,
                                                   std::span<const std::uint8_t> bytes) {
    for (unsigned suffix = 0; suffix <= kMaxSideFileSuffix; ++suffix) {
        const std::u16string name =
            SideFileName(lineNumber, id, suffix == 0 ? std::u16string() : Decimal(suffix));
        std::filesystem::path path = directory / common::PathFromUtf16(name);
        if (WriteNewBinaryFile(path, bytes) != NewFileResult::kTaken) return path;
    }
    return std::nullopt;
}

}  // namespace corvex
