// A shown message leaves its page and nothing else: the bodies, attachments
// and attached messages the rebuild passes through files go with the render.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

#include "common/path_text.h"
#include "common/property_ids.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "tests/viewer/data/rebuild/corpus_messages.h"
#include "viewer/data/rebuild/message_page.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
namespace prop = common::prop;

std::vector<fs::path> FilesBelow(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_directory()) files.push_back(entry.path());
    }
    return files;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

PropInput Text(std::uint16_t id, const std::u16string& text) {
    return {id, 0x1F, Utf16BytesTerminated(text)};
}

TEST(MessagePageTest, RenderingLeavesOnlyThePage) {
    const TestWorkFolder work;
    RecordBuilder records;
    AttachmentRow* innerFile = records.Attachment(
        {Text(prop::kAttachLongFilename, u"inner.txt"), {prop::kAttachDataBin, 0x102, {'i', 'n'}}});
    MailEntry* inner = records.Mail(
        records.Map({Text(prop::kSubject, u"Attached note"), Text(prop::kBody, u"inner body")}), {},
        {innerFile});
    AttachmentRow* attached = records.Attachment(
        {Text(prop::kDisplayName, u"Attached note"), {prop::kAttachMethod, 0x3, {5, 0, 0, 0}}});
    attached->embedded = inner;
    const std::vector<AttachmentRow*> attachments = {
        records.Attachment({Text(prop::kAttachLongFilename, u"report.csv"),
                            {prop::kAttachDataBin, 0x102, {'a', ',', 'b'}}}),
        records.Attachment({Text(prop::kAttachLongFilename, u"notes.txt"),
                            {prop::kAttachDataBin, 0x102, {'n', 'o'}}}),
        attached};
    const MailEntry* mail = records.Mail(
        records.Map({Text(prop::kSubject, u"Quarterly"),
                     {prop::kBodyHtml, 0x102, {'<', 'p', '>', 'h', 'i', '<', '/', 'p', '>'}}}),
        {}, attachments);

    // Three renders of one message, as three clicks on its folder make.
    std::vector<fs::path> pages;
    for (int click = 0; click < 3; ++click) {
        const fs::path page = common::PathFromUtf16(NewScratchPath() + u".mht");
        ASSERT_TRUE(RenderMessagePage(mail, common::PathToUtf16(page)));
        pages.push_back(page);
    }
    std::vector<fs::path> files = FilesBelow(work.Path());
    std::sort(files.begin(), files.end());
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(files, pages) << "the rebuild's files outlived the render";
    // The page holds what it shows and points at none of the files that went.
    const std::string page = ReadAll(pages[0]);
    EXPECT_NE(page.find("Attached note"), std::string::npos);
    EXPECT_EQ(page.find(work.Path().string()), std::string::npos);
}

// The window removes a page's scratch folder while the browser loads the
// page; however that removal ends, the folder is gone once it has.
TEST(MessagePageTest, AScratchFolderHandedOnGoesHoweverItsRemovalEnds) {
    const TestWorkFolder work;
    RecordBuilder records;
    const MailEntry* mail = records.Mail(
        records.Map({Text(prop::kSubject, u"Handed on"), Text(prop::kBody, u"text")}), {},
        {records.Attachment({Text(prop::kAttachLongFilename, u"kept.bin"),
                             {prop::kAttachDataBin, 0x102, {'k', 'b'}}})});
    const std::vector<std::pair<const char*, std::function<void(PageScratch&)>>> endings = {
        {"removed beside, then waited for",
         [](PageScratch& scratch) {
             scratch.RemoveBeside();
             scratch.Wait();
         }},
        {"removed beside, then dropped",
         [](PageScratch& scratch) {
             scratch.RemoveBeside();
             PageScratch dropped = std::move(scratch);
         }},
        {"replaced by the next page's folder",
         [](PageScratch& scratch) {
             scratch.RemoveBeside();
             scratch = PageScratch();
         }},
        {"dropped without being removed", [](PageScratch& scratch) { scratch = PageScratch(); }},
    };
    for (const auto& [ending, end] : endings) {
        SCOPED_TRACE(ending);
        const fs::path page = common::PathFromUtf16(NewScratchPath() + u".mht");
        PageScratch scratch;
        ASSERT_TRUE(RenderMessagePage(mail, common::PathToUtf16(page), scratch));
        // The attachment passed through a file that the folder still holds.
        EXPECT_GT(FilesBelow(work.Path()).size(), 1u);
        end(scratch);
        EXPECT_EQ(FilesBelow(work.Path()), std::vector<fs::path>{page});
        EXPECT_NE(ReadAll(page).find("Handed on"), std::string::npos);
        fs::remove(page);
    }
}

TEST(MessagePageTest, WithoutAWorkingFolderNothingIsWrittenAnywhere) {
    const TestWorkFolder work;
    WorkFolderScope nowhere(u"/proc/velmora-no-such-folder");
    ASSERT_FALSE(nowhere.Ready());
    RecordBuilder records;
    const MailEntry* mail = records.Mail(records.Map({Text(prop::kBody, u"text")}));
    EXPECT_FALSE(RenderMessagePage(mail, common::PathToUtf16(work.Path() / "page.mht")));
    EXPECT_TRUE(FilesBelow(work.Path()).empty());
}

}  // namespace
}  // namespace velmora::test
