#include "engine/output/files/value_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <optional>

#include "common/date_text.h"
#include "engine/output/files/ansi_text.h"

namespace corvex {
namespace {

// The first min(size, width) bytes as a little-endian number; missing bytes
// count as zero.
std::uint64_t LoadPrefix(std::span<const std::uint8_t> bytes, std::size_t width) {
    std::uint64_t value = 0;
    const std::size_t count = std::min(bytes.size(), width);
    for (std::size_t i = 0; i < count; ++i) value |= std::uint64_t{bytes[i]} << (8 * i);
    return value;
}

std::u16string Widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

std::u16string Int32Text(std::span<const std::uint8_t> bytes) {
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(LoadPrefix(bytes, 4)));
    return Widen(std::to_string(value));
}

// Locale-independent "%f": six decimals with a full stop.
std::u16string DoubleText(std::span<const std::uint8_t> bytes) {
    const auto value = std::bit_cast<double>(LoadPrefix(bytes, 8));
    std::array<char, 400> buffer{};  // enough for every double in fixed notation
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 6);
    return Widen({buffer.data(), result.ptr});
}

std::u16string LongLongText(std::span<const std::uint8_t> bytes) {
    std::array<char, 16> digits{};
    const auto result =
        std::to_chars(digits.data(), digits.data() + digits.size(), LoadPrefix(bytes, 8), 16);
    return u"0X" + Widen({digits.data(), result.ptr});
}

// A text starting with U+0001 and then U+0001, U+0005 or U+0010 carries a
// prefix marker that is not part of what the user typed.
template <typename Text>
void DropMarkerPair(Text& text) {
    if (text.size() >= 2 && text[0] == 0x01 &&
        (text[1] == 0x01 || text[1] == 0x05 || text[1] == 0x10)) {
        text.erase(0, 2);
    }
}

std::u16string UnicodeText(std::span<const std::uint8_t> bytes, bool dropMarker) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) break;
        text += unit;
    }
    if (dropMarker) DropMarkerPair(text);
    return text;
}

std::u16string AnsiText(std::span<const std::uint8_t> bytes, bool dropMarker) {
    std::u16string text = AnsiToUtf16(bytes);
    if (dropMarker) DropMarkerPair(text);
    return text;
}

std::u16string DateText(std::span<const std::uint8_t> bytes) {
    return common::FileTimeText(LoadPrefix(bytes, 8));
}

// Data1-Data2-Data3,,Data4 with Data4's eight bytes read as one number.
std::u16string ClsidText(std::span<const std::uint8_t> bytes) {
    std::array<std::uint8_t, 16> guid{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), guid.size()), guid.begin());
    const std::span<const std::uint8_t> all(guid);
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%08" PRIx32 "-%04" PRIx32 "-%04" PRIx32 ",,%" PRIx64,
                  static_cast<std::uint32_t>(LoadPrefix(all.subspan(0, 4), 4)),
                  static_cast<std::uint32_t>(LoadPrefix(all.subspan(4, 2), 2)),
                  static_cast<std::uint32_t>(LoadPrefix(all.subspan(6, 2), 2)),
                  LoadPrefix(all.subspan(8), 8));
    return Widen(text.data());
}

// The value table shared by all three formatters; no value for a type
// without a row of its own.
std::optional<std::u16string> TableText(const PropertyView& p, TextVariant variant,
                                        bool dropMarker) {
    switch (p.type) {
        case common::ptype::kLong:
        case common::ptype::kBoolean:
            return Int32Text(p.bytes);
        case common::ptype::kDouble:
            return DoubleText(p.bytes);
        case common::ptype::kLongLong:
            return LongLongText(p.bytes);
        case common::ptype::kUnicode:
            return UnicodeText(p.bytes, dropMarker);
        case common::ptype::kSysTime:
            return DateText(p.bytes);
        case common::ptype::kClsid:
            return ClsidText(p.bytes);
        case common::ptype::kString8:
            if (variant == TextVariant::kAnsi) return AnsiText(p.bytes, dropMarker);
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

bool IsNameType(std::uint16_t type, TextVariant variant) {
    switch (type) {
        case common::ptype::kLong:
        case common::ptype::kBoolean:
        case common::ptype::kLongLong:
        case common::ptype::kUnicode:
            return true;
        case common::ptype::kString8:
            return variant == TextVariant::kAnsi;
        default:
            return false;
    }
}

}  // namespace

std::u16string HexText(std::span<const std::uint8_t> bytes) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text = u"0x";
    text.reserve(2 + 2 * bytes.size());
    for (const std::uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::u16string ValueText(const PropertyView& property, TextVariant variant) {
    if (property.outOfLine) return HexText(property.bytes);
    return TableText(property, variant, true).value_or(HexText(property.bytes));
}

std::u16string RowText(const PropertyView& cell, TextVariant variant) {
    return TableText(cell, variant, false).value_or(HexText(cell.bytes));
}

// An out-of-line name shows its bytes as held, like the Data column does.
std::u16string NameText(const PropertyView& property, TextVariant variant) {
    if (property.outOfLine || property.type == common::ptype::kBinary)
        return HexText(property.bytes);
    if (property.type == common::ptype::kAppTime) return DateText(property.bytes);
    if (IsNameType(property.type, variant)) return *TableText(property, variant, true);
    return u"default::" + HexText(property.bytes);
}

}  // namespace corvex
