// One property as a writer holds it before it is laid out: its id, its MAPI
// type and the bytes of its value as they are to be stored.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora::storewriter {

namespace ptype {
constexpr std::uint16_t kShort = 0x0002;
constexpr std::uint16_t kLong = 0x0003;
constexpr std::uint16_t kFloat = 0x0004;
constexpr std::uint16_t kDouble = 0x0005;
constexpr std::uint16_t kCurrency = 0x0006;
constexpr std::uint16_t kAppTime = 0x0007;
constexpr std::uint16_t kBoolean = 0x000B;
constexpr std::uint16_t kObject = 0x000D;
constexpr std::uint16_t kLongLong = 0x0014;
constexpr std::uint16_t kString8 = 0x001E;
constexpr std::uint16_t kUnicode = 0x001F;
constexpr std::uint16_t kSysTime = 0x0040;
constexpr std::uint16_t kBinary = 0x0102;
}  // namespace ptype

struct PropertyValue {
    std::uint16_t id = 0;
    std::uint16_t type = 0;
    std::vector<std::uint8_t> bytes;
};

// The size of a value kept inside a table row, or 0 for a variable-size value
// that the row refers to by HNID.
std::size_t FixedCellSize(std::uint16_t type);
// Values a property context keeps in the record itself instead of the heap.
bool IsInlineInPropertyContext(std::uint16_t type);

}  // namespace velmora::storewriter
