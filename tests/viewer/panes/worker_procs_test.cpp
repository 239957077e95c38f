// The mail-list worker reads a folder in batches so that the progress dialog
// can count: the list must come out exactly as one enumeration gives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/path_text.h"
#include "tests/support/test_paths.h"
#include "tools/storewriter/store_builder.h"
#include "viewer/data/binding/pff_parsers.h"
#include "viewer/data/binding/store_folders.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/worker_procs.h"

namespace velmora::panes {
namespace {

namespace sw = velmora::storewriter;

std::filesystem::path WriteFolderStore(const std::filesystem::path& folder, sw::Variant variant,
                                       std::uint32_t messages) {
    sw::StoreBuilder builder({.variant = variant, .spoolDirectory = folder});
    const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox");
    for (std::uint32_t i = 0; i < messages; ++i) {
        sw::MessageSpec message;
        message.subject = "m" + std::to_string(i);
        builder.AddMessage(inbox, message);
    }
    const std::filesystem::path store = folder / "folder.pst";
    std::string error;
    EXPECT_TRUE(builder.WriteTo(store, &error)) << error;
    return store;
}

std::vector<std::u16string> Subjects(const FolderEntry* folder) {
    std::vector<std::u16string> subjects;
    for (std::uint32_t i = 0; i < folder->mails->entries.count; ++i)
        subjects.push_back(MailSubject(folder->mails->entries.items[i]));
    return subjects;
}

std::u16string ReadText(std::uint32_t count) {
    const std::string number = std::to_string(count);
    return u"Enumerating mails... " + std::u16string(number.begin(), number.end()) +
           u" messages read";
}

TEST(FolderMailsThreadProcTest, CountsFullBatchesAndListsWhatOneEnumerationLists) {
    const struct {
        sw::Variant variant;
        std::uint32_t messages;
        std::vector<std::u16string> counts;
    } cases[] = {
        {sw::Variant::kUnicode,
         2 * kMailBatch + 1,
         {ReadText(kMailBatch), ReadText(2 * kMailBatch)}},
        // A last batch that is exactly full is followed by one that reads nothing.
        {sw::Variant::kUnicode4K, kMailBatch, {ReadText(kMailBatch)}},
        {sw::Variant::kAnsi, 3, {}},
        {sw::Variant::kUnicode, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messages);
        test::ScratchDir scratch;
        const auto store =
            common::PathToUtf16(WriteFolderStore(scratch.Path(), c.variant, c.messages));
        const auto work = common::PathToUtf16(scratch.Path());
        std::uint16_t version = 0;
        OpenStatus status{};
        ASSERT_NE(ReadStoreVersion(store, &version, &status), 0);
        auto binding = CreateParserForVersion(version, test::LibraryDir());
        binding->Create(store, work, &status);
        binding->Parse(store, work, &status);
        binding->EnumAllFolders(&status);
        FolderEntry* inbox = FindTopOfPersonalFolders(binding->Handle())->children->items[0];

        std::vector<std::u16string> shown;
        FolderMailsThreadProc(*binding, inbox, &status,
                              [&](const std::u16string& text) { shown.push_back(text); });
        const std::vector<std::u16string> batched = Subjects(inbox);
        binding->EnumChildMails(inbox, &status);

        EXPECT_EQ(batched.size(), c.messages);
        EXPECT_EQ(batched, Subjects(inbox));
        std::vector<std::u16string> expected{kEnumeratingMailsText};
        expected.insert(expected.end(), c.counts.begin(), c.counts.end());
        EXPECT_EQ(shown, expected);
        binding->DeletePFFData(&status);
    }
}

}  // namespace
}  // namespace velmora::panes
