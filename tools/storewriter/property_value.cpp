#include "tools/storewriter/property_value.h"

namespace velmora::storewriter {

std::size_t FixedCellSize(std::uint16_t type) {
    switch (type) {
        case ptype::kBoolean:
            return 1;
        case ptype::kShort:
            return 2;
        case ptype::kLong:
        case ptype::kFloat:
            return 4;
        case ptype::kDouble:
        case ptype::kCurrency:
        case ptype::kAppTime:
        case ptype::kLongLong:
        case ptype::kSysTime:
            return 8;
        default:
            return 0;
    }
}

bool IsInlineInPropertyContext(std::uint16_t type) {
    return type == ptype::kShort || type == ptype::kLong || type == ptype::kFloat ||
           type == ptype::kBoolean;
}

}  // namespace velmora::storewriter
