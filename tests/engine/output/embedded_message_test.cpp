// Messages attached to messages, written by our store writer in every variant
// and read back through the exports: each one a whole message below its
// attachment, with its recipients, bodies and attachments, as deep as the
// engine follows such chains and no deeper.
#include <gtest/gtest.h>

#include "common/property_ids.h"
#include "engine/storage/robustness_limits.h"
#include "tests/engine/output/walk_support.h"
#include "tests/engine/output/written_variants.h"
#include "tools/storewriter/store_builder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
namespace sw = velmora::storewriter;

// A body long enough to be kept outside the message's heap, in a subnode of
// the attached message itself.
std::string BodyOf(int level) {
    std::string body;
    for (int i = 0; body.size() < 12000; ++i) body += "Level " + std::to_string(level) + " line\n";
    return body;
}

std::vector<std::uint8_t> InnermostData() {
    return {'i', 'n', 'n', 'e', 'r', 0, 1, 2, 0xFF};
}

// Level 0 is the message in the folder; each level holds the next as its only
// attachment, and the last holds a file.
std::shared_ptr<sw::MessageSpec> Chain(int levels) {
    std::shared_ptr<sw::MessageSpec> below;
    for (int level = levels; level >= 0; --level) {
        auto message = std::make_shared<sw::MessageSpec>();
        message->subject = "Level " + std::to_string(level);
        message->body = BodyOf(level);
        message->recipients.push_back(
            {"Reader " + std::to_string(level), "reader" + std::to_string(level) + "@example.com"});
        message->flags |= sw::kMessageFlagHasAttachment;
        if (below)
            message->attachments.push_back({"", {}, below});
        else
            message->attachments.push_back({"data.bin", InnermostData(), {}});
        below = message;
    }
    return below;
}

fs::path WriteChainStore(int levels, sw::Variant variant, const fs::path& scratch) {
    sw::StoreBuilder builder({.variant = variant, .spoolDirectory = scratch});
    const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox");
    EXPECT_NE(builder.AddMessage(inbox, *Chain(levels)), 0u);
    std::string error;
    EXPECT_TRUE(builder.WriteTo(scratch / "chain.pst", &error)) << error;
    return scratch / "chain.pst";
}

class AttachedMessages : public ::testing::TestWithParam<WrittenVariant> {};

TEST_P(AttachedMessages, ReadWholeBelowTheirAttachmentsUpToTheDepthBound) {
    constexpr int kBound = corvex::kMaxEmbeddedMessageDepth;
    const struct {
        const char* label;
        int levels;    // attached messages below the one in the folder
        int readable;  // of them, read by the engine
    } cases[] = {
        {"one attached message", 1, 1},
        {"a chain of three", 3, 3},
        {"the deepest chain read whole", kBound - 1, kBound - 1},
        {"a chain beyond the bound", kBound + 3, kBound - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ScratchDir scratch;
        OpenedStore store(WriteChainStore(c.levels, GetParam().writer, scratch.Path()),
                          GetParam().engine);
        ASSERT_TRUE(store.Opened());
        FolderEntry* top = FindFolderByName(store.AllFolders(), sw::kTopFolderName);
        ASSERT_NE(top, nullptr);
        FolderEntry* inbox = FindFolderByName(*top->children, "Inbox");
        ASSERT_NE(inbox, nullptr);
        store.Calls().enumChildMails(inbox, store.Handle(), 0, 0);
        ASSERT_EQ(inbox->mails->entries.count, 1u);

        const MailEntry* mail = inbox->mails->entries.items[0];
        for (int level = 0; level <= c.readable; ++level) {
            SCOPED_TRACE("level " + std::to_string(level));
            ASSERT_NE(mail, nullptr);
            EXPECT_EQ(PropText(mail->props, common::prop::kSubject),
                      "Level " + std::to_string(level));
            EXPECT_EQ(PropText(mail->props, common::prop::kBody), BodyOf(level));
            ASSERT_EQ(mail->recipients->count, 1u);
            EXPECT_EQ(PropText(mail->recipients->items[0]->tableRow, common::prop::kDisplayName),
                      "Reader " + std::to_string(level));
            ASSERT_EQ(mail->attachments->count, 1u);
            const AttachmentRow& attachment = *mail->attachments->items[0];
            if (level == c.levels) {
                EXPECT_EQ(attachment.embedded, nullptr);
                const ExportedProp* data =
                    FindProp(attachment.object, common::prop::kAttachDataBin);
                ASSERT_NE(data, nullptr);
                EXPECT_EQ(PropBytes(*data), InnermostData());
            } else {
                EXPECT_EQ(PropLong(attachment.object, common::prop::kAttachMethod),
                          common::kAttachEmbeddedMessage);
                // Past the bound the attachment stays, without its message.
                EXPECT_EQ(attachment.embedded == nullptr, level == c.readable);
            }
            mail = attachment.embedded;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, AttachedMessages, ::testing::ValuesIn(kWrittenVariants),
                         WrittenVariantName);

}  // namespace
}  // namespace velmora::test
