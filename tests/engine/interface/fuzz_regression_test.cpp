// Every input the store fuzzers found a fault with (a crash, a sanitizer report,
// an allocation past the limit, a slow run) is kept in fuzz_regressions/ and
// replayed here through all three variants, exactly as the fuzz targets walk
// it. Each walk must end, and within a few seconds per megabyte of file.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/utf16_text.h"
#include "engine/storage/variant_traits.h"
#include "fuzz/store_walk.h"
#include "tests/engine/interface/sanitizer_build.h"
#include "tests/support/kept_inputs.h"
#include "tests/support/test_paths.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// The sanitizers slow a walk down about five times; the bound is for the plain build.
constexpr double kBaseSeconds = 0.25;
constexpr double kSecondsPerMegabyte = 3.0;
constexpr double kSanitizerSlowdown = 5.0;

double AllowedSeconds(const fs::path& input) {
    const double megabytes = static_cast<double>(fs::file_size(input)) / (1 << 20);
    const double seconds = kBaseSeconds + kSecondsPerMegabyte * megabytes;
    return kUnderAsan ? seconds * kSanitizerSlowdown : seconds;
}

template <typename V>
double SecondsToWalk(const fs::path& input) {
    const ScratchDir scratch;
    const double start = ProcessSeconds();
    fuzz::StoreWalk<V>(fuzz::WalkLimits{})
        .Run(common::Utf8ToUtf16(input.string()), common::Utf8ToUtf16((scratch / "temp").string()));
    return ProcessSeconds() - start;
}

class FuzzRegressionTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(FuzzRegressionTest, EveryVariantWalksItWithinTheTimeBound) {
    const fs::path& input = GetParam();
    const double allowed = AllowedSeconds(input);
    EXPECT_LE(SecondsToWalk<corvex::AnsiTraits>(input), allowed) << "ANSI";
    EXPECT_LE(SecondsToWalk<corvex::UnicodeTraits>(input), allowed) << "Unicode";
    EXPECT_LE(SecondsToWalk<corvex::Unicode4KTraits>(input), allowed) << "Unicode 4K";
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, FuzzRegressionTest,
                         ::testing::ValuesIn(KeptInputs(VELMORA_FUZZ_REGRESSION_DIR)),
                         [](const auto& info) {
                             return TestNameOf(info.param.filename().string());
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzRegressionTest);

}  // namespace
}  // namespace velmora::test
