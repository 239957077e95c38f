#include "viewer/data/mail_access/value_text.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/date_text.h"
#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "viewer/data/mail_access/exported_value.h"

namespace velmora {
namespace {

namespace ptype = common::ptype;

// The first bytes of the value in a zeroed field of the full width.
template <typename T>
T ZeroExtended(const std::vector<std::uint8_t>& bytes) {
    const auto field = LeadingBytes<sizeof(T)>(bytes);
    T value{};
    std::memcpy(&value, field.data(), sizeof(T));
    return value;
}

std::u16string Formatted(const char* format, auto... values) {
    char text[128] = {};
    std::snprintf(text, sizeof text, format, values...);
    return common::Utf8ToUtf16(text);
}

std::u16string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text = "0x";
    char digits[3] = {};
    for (const std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return common::Utf8ToUtf16(text);
}

std::u16string ClsidText(const std::vector<std::uint8_t>& bytes) {
    const std::array<std::uint8_t, 16> field = LeadingBytes<16>(bytes);
    std::uint32_t first = 0;
    std::uint16_t second = 0, third = 0;
    std::uint64_t last = 0;
    std::memcpy(&first, field.data(), 4);
    std::memcpy(&second, field.data() + 4, 2);
    std::memcpy(&third, field.data() + 6, 2);
    std::memcpy(&last, field.data() + 8, 8);
    return Formatted("%08x-%04x-%04x,,%" PRIx64, first, unsigned{second}, unsigned{third}, last);
}

std::u16string DateText(const std::vector<std::uint8_t>& bytes) {
    return common::FileTimeText(ZeroExtended<std::uint64_t>(bytes));
}

}  // namespace

std::u16string EightBitText(std::span<const std::uint8_t> bytes, std::uint32_t codePage) {
    return common::CodePageDecoder(codePage).Decode(bytes);
}

std::u16string Utf16Text(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == u'\0') break;
        text += unit;
    }
    return text;
}

std::u16string ValueToText(const ExportedProp& prop, std::uint32_t codePage) {
    return BytesToText(prop.type, ValueBytes(prop), codePage);
}

std::u16string BytesToText(std::uint16_t type, const std::vector<std::uint8_t>& bytes,
                           std::uint32_t codePage) {
    switch (type) {
        case common::ptype::kLong:
        case common::ptype::kBoolean:
            return Formatted("%d", ZeroExtended<std::int32_t>(bytes));
        case common::ptype::kDouble:
            return Formatted("%f", ZeroExtended<double>(bytes));
        case common::ptype::kAppTime:
        case common::ptype::kSysTime:
            return DateText(bytes);
        case common::ptype::kLongLong:
            return Formatted("0X%" PRIx64, ZeroExtended<std::uint64_t>(bytes));
        case common::ptype::kString8:
            return EightBitText(bytes, codePage);
        case common::ptype::kUnicode:
            return Utf16Text(bytes);
        case common::ptype::kClsid:
            return ClsidText(bytes);
        default:
            return HexBytes(bytes);
    }
}

std::u16string SubjectText(const ExportedProp& prop, std::uint32_t codePage) {
    const std::vector<std::uint8_t> b = ValueBytesTerminated(prop);
    const std::span<const std::uint8_t> all(b);
    // An 8-bit subject is never UTF-16; its marker is U+0001 and one prefix-length byte.
    if (prop.type == common::ptype::kString8)
        return EightBitText(b[0] == 0x01 && b[1] != 0 ? all.subspan(2) : all, codePage);
    // At least 3 zero bytes follow the value, so b[0] to b[3] exist.
    const bool prefixMarker = b[2] == 0x01 || b[2] == 0x05 || b[2] == 0x10;
    if (b[0] == 0x01 && b[1] == 0x00 && prefixMarker && b[3] == 0x00)
        return Utf16Text(all.subspan(4));
    if (b[0] == 0x01 && b[1] == 0x01) return EightBitText(all.subspan(2), codePage);
    return Utf16Text(all);
}

}  // namespace velmora
