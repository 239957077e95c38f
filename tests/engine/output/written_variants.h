// The three store variants our store writer makes, each with the engine that
// reads it, for tests that write their own stores and run once per variant.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/engine/output/walk_support.h"
#include "tools/storewriter/writer_options.h"

namespace velmora::test {

struct WrittenVariant {
    const char* name;
    storewriter::Variant writer;
    StoreVariant engine;
};

inline void PrintTo(const WrittenVariant& v, std::ostream* os) {
    *os << v.name;
}

inline constexpr WrittenVariant kWrittenVariants[] = {
    {"Ansi", storewriter::Variant::kAnsi, StoreVariant::kAnsi},
    {"Unicode", storewriter::Variant::kUnicode, StoreVariant::kUnicode},
    {"Unicode4K", storewriter::Variant::kUnicode4K, StoreVariant::kUnicode4K},
};

// Test names by variant: ".../Ansi", ".../Unicode", ".../Unicode4K".
inline std::string WrittenVariantName(const ::testing::TestParamInfo<WrittenVariant>& info) {
    return info.param.name;
}

}  // namespace velmora::test
