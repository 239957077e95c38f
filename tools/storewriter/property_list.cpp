#include "tools/storewriter/property_list.h"

#include "tools/storewriter/text_encoding.h"

namespace velmora::storewriter {
namespace {

std::vector<std::uint8_t> LittleEndian(std::uint64_t value, std::size_t width) {
    std::vector<std::uint8_t> bytes(width);
    for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

}  // namespace

PropertyList& PropertyList::Add(PropertyValue value) {
    values_.push_back(std::move(value));
    return *this;
}

PropertyList& PropertyList::String(std::uint16_t id, std::string_view utf8) {
    return Add({id, StringType(), ansi_ ? EncodeSingleByte(utf8) : EncodeUtf16(utf8)});
}

PropertyList& PropertyList::Long(std::uint16_t id, std::uint32_t value) {
    return Add({id, common::ptype::kLong, LittleEndian(value, 4)});
}

PropertyList& PropertyList::Boolean(std::uint16_t id, bool value) {
    return Add({id, common::ptype::kBoolean, {static_cast<std::uint8_t>(value ? 1 : 0)}});
}

PropertyList& PropertyList::Time(std::uint16_t id, std::uint64_t filetime) {
    return Add({id, common::ptype::kSysTime, LittleEndian(filetime, 8)});
}

PropertyList& PropertyList::Binary(std::uint16_t id, std::span<const std::uint8_t> bytes) {
    return Add({id, common::ptype::kBinary, {bytes.begin(), bytes.end()}});
}

}  // namespace velmora::storewriter
