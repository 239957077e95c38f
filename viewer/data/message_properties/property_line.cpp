#include "viewer/data/message_properties/property_line.h"

#include <cstdio>

#include "common/property_ids.h"
#include "common/property_name_table.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/value_text.h"

namespace velmora {
namespace {

// Enough bytes for kShortValueLength characters and one more in any form:
// two hex digits or one UTF-16 unit per byte pair, at most two bytes a
// character in the 8-bit code pages.
constexpr std::size_t kShortValueBytes = 4 * (kShortValueLength + 1);

std::u16string HexCode(const char* format, unsigned value) {
    char text[16] = {};
    std::snprintf(text, sizeof text, format, value);
    return {text, text + std::char_traits<char>::length(text)};
}

std::u16string TagText(std::uint16_t id, std::uint16_t type) {
    return HexCode("0x%08X", (unsigned{id} << 16) | type);
}

std::u16string TypeText(std::uint16_t type) {
    std::u16string name = common::PropertyNameTable::Shared().TypeName(type);
    return name.empty() ? HexCode("0x%04X", type) : name;
}

// Numbers, dates and GUIDs read only their first bytes; every other text is
// made from the whole value, so a value read in part gives part of its text.
bool TextSpansWholeValue(std::uint16_t type) {
    namespace ptype = common::ptype;
    switch (type) {
        case ptype::kLong:
        case ptype::kBoolean:
        case ptype::kDouble:
        case ptype::kAppTime:
        case ptype::kSysTime:
        case ptype::kLongLong:
        case ptype::kClsid:
            return false;
        default:
            return true;
    }
}

// The text of `bytes`, the value or its start: the subject's as the header
// shows it, without the prefix-length marker some stores put before it; any
// other value's as its type gives it.
std::u16string PrefixText(const ExportedProp& prop, std::vector<std::uint8_t> bytes,
                          std::uint32_t codePage) {
    if (prop.id != common::prop::kSubject) return BytesToText(prop.type, bytes, codePage);
    const ExportedProp inMemory{prop.id, prop.type, 0, static_cast<std::uint32_t>(bytes.size()),
                                bytes.data()};
    return SubjectText(inMemory, codePage);
}

// Cuts `text` to kShortValueLength characters, never between the two halves
// of a surrogate pair; true when anything was cut.
bool CutToShortLength(std::u16string& text) {
    if (text.size() <= kShortValueLength) return false;
    std::size_t length = kShortValueLength;
    if (text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
    text.resize(length);
    return true;
}

}  // namespace

PropertyLine DescribeProperty(const ExportedProp& prop, std::uint32_t codePage) {
    PropertyLine line;
    line.id = prop.id;
    line.type = prop.type;
    line.tag = TagText(prop.id, prop.type);
    line.name = common::PropertyNameTable::Shared().PropertyName(prop.id);
    line.typeName = TypeText(prop.type);
    line.size = ValueSize(prop);
    line.source = &prop;
    std::vector<std::uint8_t> bytes = ValuePrefix(prop, kShortValueBytes);
    const bool readInPart = bytes.size() < line.size && TextSpansWholeValue(prop.type);
    line.value = PrefixText(prop, std::move(bytes), codePage);
    line.shortened = CutToShortLength(line.value) || readInPart;
    if (line.shortened) line.value += kShortenedMark;
    return line;
}

PropertyLines DescribeProperties(const ExportedPropMap* map, std::uint32_t codePage) {
    PropertyLines lines;
    if (map == nullptr || map->items == nullptr) return lines;
    lines.reserve(map->count);
    for (std::uint32_t i = 0; i < map->count; ++i) {
        if (map->items[i] != nullptr) lines.push_back(DescribeProperty(*map->items[i], codePage));
    }
    return lines;
}

std::u16string FullValueText(const PropertyLine& line, std::uint32_t codePage,
                             std::uint64_t byteLimit) {
    if (line.source == nullptr) return {};
    std::vector<std::uint8_t> bytes = byteLimit < ValueSize(*line.source)
                                          ? ValuePrefix(*line.source, byteLimit)
                                          : ValueBytes(*line.source);
    return PrefixText(*line.source, std::move(bytes), codePage);
}

std::u16string OneLine(std::u16string text) {
    for (char16_t& unit : text) {
        if (unit < 0x20 || unit == 0x7F) unit = u' ';
    }
    return text;
}

}  // namespace velmora
