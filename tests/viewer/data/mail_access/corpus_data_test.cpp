// The data side over real stores read through the real engine libraries: top
// folders, recipient lines, subjects and attachment data.
#include <gtest/gtest.h>

#include <fstream>

#include "common/path_text.h"
#include "tests/support/test_paths.h"
#include "viewer/data/binding/pff_parsers.h"
#include "viewer/data/binding/store_folders.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/recipient_lines.h"
#include "viewer/data/mail_access/record_getters.h"

namespace velmora::test {
namespace {

// A store opened as the viewer opens it, with its own temporary root.
class OpenedStore {
  public:
    explicit OpenedStore(const std::string& name) {
        const std::u16string path = common::PathToUtf16(CorpusFile(name));
        std::uint16_t version = 0;
        OpenStatus status{1, {}};
        ReadStoreVersion(path, &version, &status);
        binding_ = CreateParserForVersion(version);
        if (!binding_) return;
        binding_->Create(path, common::PathToUtf16(work_.Path()), &status);
        binding_->Parse(path, common::PathToUtf16(work_.Path()), &status);
        binding_->EnumAllFolders(&status);
    }
    ~OpenedStore() {
        OpenStatus status{1, {}};
        if (binding_ && binding_->Handle()) binding_->DeletePFFData(&status);
    }
    EngineHandle* Handle() const { return binding_ ? binding_->Handle() : nullptr; }

    FolderEntry* Folder(const std::u16string& name) const {
        const FolderEntry* top = FindTopOfPersonalFolders(Handle());
        for (std::uint32_t i = 0; top != nullptr && i < top->children->count; ++i) {
            if (FolderName(top->children->items[i]) == name) return top->children->items[i];
        }
        return nullptr;
    }

    const MailEntryList& Mails(FolderEntry* folder) const {
        OpenStatus status{1, {}};
        binding_->EnumChildMails(folder, &status);
        return folder->mails->entries;
    }

  private:
    ScratchDir work_;
    std::unique_ptr<CPFFDataParserInterFace> binding_;
};

TEST(CorpusDataTest, TopFolderIsFoundInEveryVariant) {
    VELMORA_REQUIRE_CORPUS();
    const struct {
        const char* store;
        const char16_t* top;
    } cases[] = {
        {"ansi-many-items.pst", u"Top of Personal Folders"},
        {"unicode-plain.pst", u"Top of Personal Folders"},
        {"unicode-to-cc.pst", u"Top of Outlook data file"},
        {"ost4k/unicode-flags.ost", u"Top of Outlook data file"},
    };
    for (const auto& c : cases) {
        const OpenedStore store(c.store);
        const FolderEntry* top = FindTopOfPersonalFolders(store.Handle());
        ASSERT_NE(top, nullptr) << c.store;
        EXPECT_EQ(FolderName(top), c.top) << c.store;
        EXPECT_EQ(FindIpmSubtree(store.Handle()), nullptr) << c.store;
    }
}

TEST(CorpusDataTest, RecipientLinesOfARealMessage) {
    VELMORA_REQUIRE_CORPUS();
    const OpenedStore store("unicode-to-cc.pst");
    FolderEntry* inbox = store.Folder(u"Inbox");
    ASSERT_NE(inbox, nullptr);
    const MailEntryList& mails = store.Mails(inbox);
    ASSERT_EQ(mails.count, 1u);
    const MailEntry* mail = mails.items[0];
    EXPECT_EQ(MailSubject(mail), u"Multiple recipients");
    EXPECT_EQ(MailSenderName(mail), u"John Doe");
    const RecipientLineSet lines = RecipientLines(mail);
    EXPECT_EQ(lines.to, u"John Doe <pst-test-1@aranetic.com>; Jane Doe <pst-test-2@aranetic.com>");
    EXPECT_EQ(lines.cc,
              u"pst-test-3@aranetic.com <pst-test-3@aranetic.com>; "
              u"pst-test-4@aranetic.com <pst-test-4@aranetic.com>");
    EXPECT_EQ(lines.bcc, u"");
}

TEST(CorpusDataTest, AttachmentDataComesFromValueFiles) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir out;
    const OpenedStore store("unicode-plain.pst");
    FolderEntry* deleted = store.Folder(u"Deleted Items");
    ASSERT_NE(deleted, nullptr);
    const MailEntryList& mails = store.Mails(deleted);
    ASSERT_EQ(mails.count, 20u);
    std::size_t gifs = 0;
    for (std::uint32_t m = 0; m < mails.count; ++m) {
        const AttachmentRowList* rows = mails.items[m]->attachments;
        for (std::uint32_t a = 0; a < rows->count; ++a) {
            std::u16string extension;
            const bool found = AttachmentExtension(rows->items[a], extension);
            if (!found || (extension != u"gif" && extension != u"GIF")) continue;
            const std::u16string target =
                common::PathToUtf16(out / ("a" + std::to_string(gifs++) + ".gif"));
            ASSERT_TRUE(SaveAttachmentData(rows->items[a], target));
            std::vector<std::uint8_t> content;
            ASSERT_TRUE(ReadWholeFile(target, content));
            ASSERT_GE(content.size(), 6u);
            EXPECT_EQ(std::string(content.begin(), content.begin() + 3), "GIF")
                << AttachmentName(rows->items[a]).size();
        }
    }
    EXPECT_GT(gifs, 100u);
}

TEST(CorpusDataTest, AnsiSubjectsAreDecodedWithTheirCodePage) {
    VELMORA_REQUIRE_CORPUS();
    const OpenedStore store("ansi-many-items.pst");
    FolderEntry* inbox = store.Folder(u"Inbox");
    ASSERT_NE(inbox, nullptr);
    const MailEntryList& mails = store.Mails(inbox);
    ASSERT_EQ(mails.count, 170u);
    for (std::uint32_t m = 0; m < mails.count; ++m) {
        const std::u16string subject = MailSubject(mails.items[m]);
        // 8-bit subjects are never read as UTF-16: no character pairs two bytes.
        for (const char16_t c : subject) EXPECT_LT(c, 0x2500) << m;
    }
}

}  // namespace
}  // namespace velmora::test
