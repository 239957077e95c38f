#include "tools/storewriter/property_value.h"

namespace velmora::storewriter {

std::size_t FixedCellSize(std::uint16_t type) {
    switch (type) {
        case common::ptype::kBoolean:
            return 1;
        case common::ptype::kShort:
            return 2;
        case common::ptype::kLong:
        case common::ptype::kFloat:
            return 4;
        case common::ptype::kDouble:
        case common::ptype::kCurrency:
        case common::ptype::kAppTime:
        case common::ptype::kLongLong:
        case common::ptype::kSysTime:
            return 8;
        default:
            return 0;
    }
}

bool IsInlineInPropertyContext(std::uint16_t type) {
    return type == common::ptype::kShort || type == common::ptype::kLong ||
           type == common::ptype::kFloat || type == common::ptype::kBoolean;
}

}  // namespace velmora::storewriter
