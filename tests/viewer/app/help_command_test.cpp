// The Help command opens the guide beside the program or says why it cannot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_paths.h"
#include "viewer/app/help_command.h"

namespace velmora::app {
namespace {

struct HelpCase {
    const char* name;
    bool guidePresent;
    bool openerSucceeds;
    const char* problemPart;  // empty: no problem
};

void PrintTo(const HelpCase& help, std::ostream* out) {
    *out << help.name;
}

class HelpCommandTest : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpCommandTest, OpensThePresentGuideOrSaysWhy) {
    test::ScratchDir scratch;
    const QString guide = QString::fromStdString((scratch / "user-guide.html").string());
    if (GetParam().guidePresent) std::ofstream((scratch / "user-guide.html")) << "<html></html>";
    QUrl opened;
    const QString problem = OpenUserGuide(guide, [&](const QUrl& url) {
        opened = url;
        return GetParam().openerSucceeds;
    });
    EXPECT_EQ(problem.isEmpty(), std::string(GetParam().problemPart).empty());
    EXPECT_TRUE(problem.contains(GetParam().problemPart)) << problem.toStdString();
    EXPECT_EQ(opened.isEmpty(), !GetParam().guidePresent);
    if (GetParam().guidePresent) {
        EXPECT_EQ(opened, QUrl::fromLocalFile(guide));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HelpCommandTest,
                         ::testing::Values(HelpCase{"Opened", true, true, ""},
                                           HelpCase{"NoHandler", true, false, "No program"},
                                           HelpCase{"GuideMissing", false, true, "missing"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UserGuidePathTest, BesideTheProgramInABuildTreeElseInTheInstalledDocFolder) {
    test::ScratchDir scratch;
    std::filesystem::create_directories(scratch / "build/bin/docs");
    std::ofstream(scratch / "build/bin/docs/user-guide.html") << "<html></html>";
    std::filesystem::create_directories(scratch / "prefix/bin");
    const auto path = [&](const char* relative) {
        return QString::fromStdString((scratch / relative).string());
    };
    EXPECT_EQ(UserGuidePath(path("build/bin")), path("build/bin/docs/user-guide.html"));
    EXPECT_EQ(UserGuidePath(path("prefix/bin")), path("prefix/share/doc/velmora/user-guide.html"));
}

}  // namespace
}  // namespace velmora::app
