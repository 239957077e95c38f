// storegen's argument parsing: what it accepts, its defaults, and the
// one-line reasons it gives for what it refuses.
#include <gtest/gtest.h>

#include "tools/storewriter/storegen_options.h"

namespace velmora::storewriter {
namespace {

TEST(StoregenOptionsTest, DefaultsNeedOnlyAnOutput) {
    std::string error;
    const auto options = ParseStoregenOptions({"--output", "a.pst"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->output, "a.pst");
    EXPECT_EQ(options->writer.variant, Variant::kUnicode);
    EXPECT_EQ(options->writer.cryptMethod, 1);
    EXPECT_TRUE(options->writer.compress);
    EXPECT_EQ(options->shape.folders, 3u);
    EXPECT_EQ(options->shape.messagesPerFolder, 5u);
    EXPECT_EQ(options->shape.bodySize, 600u);
    EXPECT_EQ(options->shape.subnodesPerMessage, 2u);
    EXPECT_EQ(options->shape.recipientsPerMessage, 2u);
    EXPECT_EQ(options->shape.attachmentsPerMessage, 1u);
    EXPECT_EQ(options->shape.attachmentSize, 2000u);
    EXPECT_FALSE(options->rawNodes) << "a mail store unless asked for raw nodes";
}

TEST(StoregenOptionsTest, EveryOptionIsApplied) {
    std::string error;
    const auto options = ParseStoregenOptions({"--variant",
                                               "4k",
                                               "--crypt",
                                               "2",
                                               "--no-compress",
                                               "--folders",
                                               "7",
                                               "--messages",
                                               "9",
                                               "--body-size",
                                               "100000",
                                               "--subnodes",
                                               "0",
                                               "--seed",
                                               "42",
                                               "--output",
                                               "b.ost",
                                               "--recipients",
                                               "0",
                                               "--attachments",
                                               "3",
                                               "--attachment-size",
                                               "70000",
                                               "--raw-nodes"},
                                              error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->writer.variant, Variant::kUnicode4K);
    EXPECT_EQ(options->writer.cryptMethod, 2);
    EXPECT_FALSE(options->writer.compress);
    EXPECT_EQ(options->shape.folders, 7u);
    EXPECT_EQ(options->shape.messagesPerFolder, 9u);
    EXPECT_EQ(options->shape.bodySize, 100000u);
    EXPECT_EQ(options->shape.subnodesPerMessage, 0u);
    EXPECT_EQ(options->shape.seed, 42u);
    EXPECT_EQ(options->shape.recipientsPerMessage, 0u);
    EXPECT_EQ(options->shape.attachmentsPerMessage, 3u);
    EXPECT_EQ(options->shape.attachmentSize, 70000u);
    EXPECT_TRUE(options->rawNodes);
}

TEST(StoregenOptionsTest, HelpNeedsNothingElse) {
    std::string error;
    const auto options = ParseStoregenOptions({"--help"}, error);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->help);
}

TEST(StoregenOptionsTest, BadArgumentsAreRefusedWithAReason) {
    const struct {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{}, "--output is required"},
        {{"--output"}, "--output needs a value"},
        {{"--output", "x", "--crypt", "3"}, "bad value for --crypt: 3"},
        {{"--output", "x", "--variant", "wide"}, "bad value for --variant: wide"},
        {{"--output", "x", "--folders", "-1"}, "bad value for --folders: -1"},
        {{"--output", "x", "--messages", "12abc"}, "bad value for --messages: 12abc"},
        {{"--output", "x", "--body-size", ""}, "bad value for --body-size: "},
        {{"--output", "x", "--frobnicate"}, "unknown option --frobnicate"},
        {{"--output", "x", "--attachments", "65536"}, "bad value for --attachments: 65536"},
        {{"--output", "x", "--attachment-size", "4294967296"},
         "bad value for --attachment-size: 4294967296"},
        {{"--output", "x", "--folders", "65535", "--messages", "67108864"}, "too many messages"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseStoregenOptions(c.args, error)) << c.reason;
        EXPECT_EQ(error, c.reason);
    }
}

}  // namespace
}  // namespace velmora::storewriter
