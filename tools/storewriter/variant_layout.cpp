#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {
namespace {

constexpr VariantLayout kAnsi{
    Variant::kAnsi, 14, 512, 4, 512, 496, 500, false, 12, 64, 8180, 4, 0x4400, 4, 496, true,
};

constexpr VariantLayout kUnicode{
    Variant::kUnicode, 23, 564, 8, 512, 488, 496, false, 16, 64, 8176, 8, 0x4400, 0, 496, true,
};

// 4K stores keep their first map page where real 4K files have it; the space
// before it holds only the header.
constexpr VariantLayout kUnicode4K{
    Variant::kUnicode4K,
    36,
    564,
    8,
    4096,
    4056,
    4072,
    true,
    24,
    512,
    8176,
    8,
    0x22000,
    0,
    4072,
    false,
};

}  // namespace

const VariantLayout& LayoutFor(Variant variant) {
    switch (variant) {
        case Variant::kAnsi:
            return kAnsi;
        case Variant::kUnicode4K:
            return kUnicode4K;
        case Variant::kUnicode:
            break;
    }
    return kUnicode;
}

}  // namespace velmora::storewriter
