// Every input the viewer-path fuzz target found a fault with is kept in
// fuzz_regressions/ and replayed here exactly as the target walks it: opened
// with the engine compiled in, every getter read, attachments saved and the
// first messages rendered through the messaging component. Under the
// sanitizers a report ends the test binary; everywhere each walk must end
// within its time bound.
#include <gtest/gtest.h>

#include <filesystem>

#include "automation/component_registry.h"
#include "common/path_text.h"
#include "fuzz/viewer_path_walk.h"
#include "tests/support/kept_inputs.h"
#include "tests/support/test_paths.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// Generous enough for a sanitizer build on a busy machine; a kept input that
// hung ran for minutes.
constexpr double kAllowedSeconds = 30.0;

class ViewerPathRegressionTest : public ::testing::TestWithParam<fs::path> {
  protected:
    static void SetUpTestSuite() {
        messaging::ComponentRegistry::Instance().SetLibraryFolder(LibraryDir());
    }
};

TEST_P(ViewerPathRegressionTest, WalksToTheRenderedPageWithinTheTimeBound) {
    const ScratchDir scratch;
    fs::create_directories(scratch / "out");
    const WorkFolderScope work(common::PathToUtf16(scratch / "work"));
    ASSERT_TRUE(work.Ready()) << work.Error();
    const double start = ProcessSeconds();
    fuzz::ViewerPathWalk(fuzz::ViewerPathLimits{}, scratch / "out").Run(GetParam());
    EXPECT_LE(ProcessSeconds() - start, kAllowedSeconds);
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, ViewerPathRegressionTest,
                         ::testing::ValuesIn(KeptInputs(VELMORA_VIEWER_FUZZ_REGRESSION_DIR)),
                         [](const auto& info) {
                             return TestNameOf(info.param.filename().string());
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ViewerPathRegressionTest);

}  // namespace
}  // namespace velmora::test
