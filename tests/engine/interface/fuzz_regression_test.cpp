// Every input the store fuzzers found a fault with (a crash, a sanitizer report,
// an allocation past the limit, a slow run) is kept in fuzz_regressions/ and
// replayed here through all three variants, exactly as the fuzz targets walk
// it. Each walk must end, and within a few seconds per megabyte of file.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <vector>

#include "common/utf16_text.h"
#include "engine/storage/variant_traits.h"
#include "fuzz/store_walk.h"
#include "tests/engine/interface/sanitizer_build.h"
#include "tests/support/test_paths.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// The sanitizers slow a walk down about five times; the bound is for the plain build.
constexpr double kBaseSeconds = 0.25;
constexpr double kSecondsPerMegabyte = 3.0;
constexpr double kSanitizerSlowdown = 5.0;

std::vector<fs::path> RegressionInputs() {
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(VELMORA_FUZZ_REGRESSION_DIR)) {
        if (entry.is_regular_file() && entry.path().extension() != ".md")
            inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

double AllowedSeconds(const fs::path& input) {
    const double megabytes = static_cast<double>(fs::file_size(input)) / (1 << 20);
    const double seconds = kBaseSeconds + kSecondsPerMegabyte * megabytes;
    return kUnderAsan ? seconds * kSanitizerSlowdown : seconds;
}

// Processor time rather than wall time: the tests run in parallel with other
// work, and what must stay bounded is the work the input causes.
double ProcessSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
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

INSTANTIATE_TEST_SUITE_P(KeptInputs, FuzzRegressionTest, ::testing::ValuesIn(RegressionInputs()),
                         [](const auto& info) {
                             return TestNameOf(info.param.filename().string());
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzRegressionTest);

}  // namespace
}  // namespace velmora::test
