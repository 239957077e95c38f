// When the value files of the records are written and how long they live: an
// enumeration names them and writes none; a file is written when its value is
// first read, and lives as long as the record that names it. Another
// enumeration of a folder frees its former records and their files, a record
// freed before its value was read leaves no file and its value is refused
// afterwards, deleting a handle removes every file its session wrote, and a
// session sharing the temporary root with others touches none of theirs, not
// even when a record is edited to name one.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "common/path_text.h"
#include "common/property_ids.h"
#include "common/uuid_text.h"
#include "tests/engine/output/output_test_support.h"
#include "tests/engine/output/walk_support.h"
#include "tests/engine/output/written_variants.h"
#include "tools/storewriter/store_builder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
namespace sw = velmora::storewriter;

constexpr std::uint32_t kMessages = 4;
// Enough messages that an enumeration builds its records on two threads.
constexpr std::uint32_t kManyMessages = 150;

// Large enough that the body and the attachment data are held out of line in
// every variant, and different for every message.
std::string BodyOf(std::uint32_t n) {
    std::string body;
    while (body.size() < 6000) body += "Body of message " + std::to_string(n) + ". ";
    return body;
}

std::vector<std::uint8_t> DataOf(std::uint32_t n) {
    std::vector<std::uint8_t> data(9000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 + n);
    return data;
}

fs::path WriteInboxStore(sw::Variant variant, const fs::path& scratch,
                         std::uint32_t messages = kMessages) {
    sw::StoreBuilder builder({.variant = variant, .spoolDirectory = scratch});
    const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox");
    for (std::uint32_t n = 0; n < messages; ++n) {
        sw::MessageSpec message;
        message.subject = "Message " + std::to_string(n);
        message.body = BodyOf(n);
        message.attachments.push_back({"data.bin", DataOf(n), {}});
        message.flags |= sw::kMessageFlagHasAttachment;
        EXPECT_NE(builder.AddMessage(inbox, message), 0u);
    }
    std::string error;
    EXPECT_TRUE(builder.WriteTo(scratch / "inbox.pst", &error)) << error;
    return scratch / "inbox.pst";
}

FolderEntry* Inbox(OpenedStore& store) {
    FolderEntry* top = FindFolderByName(store.AllFolders(), sw::kTopFolderName);
    return top != nullptr ? FindFolderByName(*top->children, "Inbox") : nullptr;
}

void EnumerateMails(OpenedStore& store, FolderEntry& folder) {
    store.Calls().enumChildMails(&folder, store.Handle(), 0, 0);
}

// Every body and every attachment's data reads back through its value file
// (written as it is read), the list holding messages first..first+count-1 in
// folder order.
void ExpectValuesReadBack(const FolderEntry& folder, std::uint32_t first = 0,
                          std::uint32_t count = kMessages) {
    const std::vector<const MailEntry*> mails = MailsOf(folder);
    ASSERT_EQ(mails.size(), count);
    for (std::uint32_t n = first; n < first + count; ++n) {
        const MailEntry& mail = *mails[n - first];
        EXPECT_EQ(PropText(mail.props, common::prop::kBody), BodyOf(n)) << n;
        ASSERT_EQ(mail.attachments->count, 1u);
        const ExportedProp* data =
            FindProp(mail.attachments->items[0]->object, common::prop::kAttachDataBin);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->inFile, 1);
        EXPECT_EQ(PropBytes(*data), DataOf(n)) << n;
    }
}

// Points a value-file prop of a record at another path of no greater length.
void Rename(ExportedProp& prop, const fs::path& path) {
    const std::u16string text = common::PathToUtf16(path);
    ASSERT_LE((text.size() + 1) * 2, prop.byteCount);
    std::memcpy(prop.bytes, text.c_str(), (text.size() + 1) * 2);
}

class ValueFileLifetime : public ::testing::TestWithParam<WrittenVariant> {
  protected:
    void SetUp() override { store_ = WriteInboxStore(GetParam().writer, scratch_.Path()); }

    // A store of kManyMessages, enough to be built on two threads, opened.
    void OpenLargeInbox() {
        large_ = std::make_unique<OpenedStore>(
            WriteInboxStore(GetParam().writer, scratch_.Path(), kManyMessages), GetParam().engine);
        ASSERT_TRUE(large_->Opened());
        inbox_ = Inbox(*large_);
        ASSERT_NE(inbox_, nullptr);
    }

    ScratchDir scratch_;
    fs::path store_;
    std::unique_ptr<OpenedStore> large_;
    FolderEntry* inbox_ = nullptr;
};

TEST_P(ValueFileLifetime, AnotherEnumerationRemovesTheFormerFilesAndKeepsItsOwnReadable) {
    OpenedStore store(store_, GetParam().engine);
    ASSERT_TRUE(store.Opened());
    FolderEntry* inbox = Inbox(store);
    ASSERT_NE(inbox, nullptr);
    const std::size_t before = FilesIn(store.ValueFileFolder());

    EnumerateMails(store, *inbox);
    const std::vector<fs::path> first = ValueFilesOf(*inbox);
    ASSERT_GE(first.size(), 2 * kMessages);
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before) << "the enumeration writes no file";
    ExpectValuesReadBack(*inbox);
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before + first.size());
    EnumerateMails(store, *inbox);
    const std::vector<fs::path> second = ValueFilesOf(*inbox);

    for (const fs::path& file : first) EXPECT_FALSE(fs::exists(file)) << file;
    EXPECT_EQ(second.size(), first.size());
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before);
    ExpectValuesReadBack(*inbox);
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before + second.size());
}

#if !defined(_WIN32)
// A file replaced by a link, or a link put where a value's file is still to
// be written, is never written through.
TEST_P(ValueFileLifetime, AFileReplacedByALinkIsNotWrittenThrough) {
    OpenedStore store(store_, GetParam().engine);
    ASSERT_TRUE(store.Opened());
    FolderEntry* inbox = Inbox(store);
    ASSERT_NE(inbox, nullptr);
    EnumerateMails(store, *inbox);
    ExpectValuesReadBack(*inbox);
    const std::vector<fs::path> first = ValueFilesOf(*inbox);
    ASSERT_FALSE(first.empty());
    ScratchDir elsewhere;
    std::ofstream(elsewhere / "target") << "untouched";
    for (const fs::path& file : first) {
        fs::remove(file);
        fs::create_symlink(elsewhere / "target", file);
    }
    EnumerateMails(store, *inbox);
    EXPECT_EQ(corvex::test::ReadFileText(elsewhere / "target"), "untouched");
    for (const fs::path& file : first) EXPECT_FALSE(fs::is_symlink(file)) << file;
    ExpectValuesReadBack(*inbox);

    EnumerateMails(store, *inbox);
    for (const fs::path& file : ValueFilesOf(*inbox))
        fs::create_symlink(elsewhere / "target", file);
    for (const MailEntry* mail : MailsOf(*inbox))
        EXPECT_TRUE(PropBytes(*FindProp(mail->props, common::prop::kBody)).empty());
    EXPECT_EQ(corvex::test::ReadFileText(elsewhere / "target"), "untouched");
}
#endif

TEST_P(ValueFileLifetime, DeletingAHandleRemovesItsFilesAndNoneOfAnotherSessionOnTheSameRoot) {
    ScratchDir root;
    fs::create_directories(root / "GUIDTempFiles");
    fs::create_directories(root / "Folder");
    // The viewer's own temporary file, and a file outside the value-file folder.
    const fs::path viewers =
        root.Path() / "GUIDTempFiles" / common::PathFromUtf16(common::NewUuidText());
    std::ofstream(viewers) << "viewer";
    auto first = std::make_unique<OpenedStore>(store_, GetParam().engine, root.Path());
    OpenedStore second(store_, GetParam().engine, root.Path());
    FolderEntry* firstInbox = Inbox(*first);
    FolderEntry* secondInbox = Inbox(second);
    ASSERT_NE(firstInbox, nullptr);
    ASSERT_NE(secondInbox, nullptr);
    EnumerateMails(second, *secondInbox);
    EnumerateMails(*first, *firstInbox);
    ExpectValuesReadBack(*secondInbox);
    ExpectValuesReadBack(*firstInbox);
    const std::vector<fs::path> firstFiles = ValueFilesOf(*firstInbox);
    const std::vector<fs::path> secondFiles = ValueFilesOf(*secondInbox);
    ASSERT_FALSE(secondFiles.empty());
    const fs::path outside = root.Path() / "Folder" / secondFiles[0].filename();
    std::ofstream(outside) << "export";

    // Records of the first handle edited to name files its session did not write.
    const MailEntry& edited = *MailsOf(*firstInbox)[0];
    Rename(*const_cast<ExportedProp*>(FindProp(edited.props, common::prop::kBody)), secondFiles[0]);
    Rename(*const_cast<ExportedProp*>(
               FindProp(edited.attachments->items[0]->object, common::prop::kAttachDataBin)),
           outside);
    first.reset();

    for (const fs::path& file : firstFiles) EXPECT_FALSE(fs::exists(file)) << file;
    for (const fs::path& file : secondFiles) EXPECT_TRUE(fs::is_regular_file(file)) << file;
    EXPECT_TRUE(fs::is_regular_file(viewers));
    EXPECT_TRUE(fs::is_regular_file(outside));
    ExpectValuesReadBack(*secondInbox);

    second.Delete();
    EXPECT_EQ(FilesIn(root / "GUIDTempFiles"), 1u) << "only the viewer's file is left";
    EXPECT_TRUE(fs::is_regular_file(outside));
}

// A folder large enough to be built on two threads comes out as on one: every
// record in folder order with its own values, no file written by the
// enumeration, and exactly the files the records name once they are read, for
// the whole folder and for slices that cross its middle.
TEST_P(ValueFileLifetime, ALargeFolderKeepsItsOrderValuesAndFilesWhenBuiltOnTwoThreads) {
    ASSERT_NO_FATAL_FAILURE(OpenLargeInbox());
    OpenedStore& opened = *large_;
    FolderEntry* inbox = inbox_;
    const std::size_t before = FilesIn(opened.ValueFileFolder());
    const struct {
        std::uint32_t first, maximum, expected;
    } kSlices[] = {{0, 0, kManyMessages}, {10, 100, 100}, {kManyMessages - 70, 0, 70}};
    for (const auto& slice : kSlices) {
        SCOPED_TRACE(std::to_string(slice.first) + " " + std::to_string(slice.maximum));
        opened.Calls().enumChildMails(inbox, opened.Handle(), slice.first, slice.maximum);
        EXPECT_EQ(FilesIn(opened.ValueFileFolder()), before);
        ExpectValuesReadBack(*inbox, slice.first, slice.expected);
        EXPECT_EQ(FilesIn(opened.ValueFileFolder()), before + ValueFilesOf(*inbox).size());
    }
}

// The viewer reads a large folder again with one call that only empties the
// list and then batches. Emptying the list removes the former files; when the
// folder has been read to its end, or an enumeration cut the read short, or
// the session goes, exactly the files of the values read are left.
TEST_P(ValueFileLifetime, ABatchedReadAgainEndsWithExactlyTheFilesItsRecordsName) {
    ASSERT_NO_FATAL_FAILURE(OpenLargeInbox());
    OpenedStore& opened = *large_;
    FolderEntry* inbox = inbox_;
    const std::size_t before = FilesIn(opened.ValueFileFolder());
    const auto emptyThenRead = [&](std::uint32_t batches) {
        opened.Calls().enumChildMails(inbox, opened.Handle(), UINT32_MAX, 1);
        EXPECT_EQ(inbox->mails->entries.count, 0u);
        inbox->mails->batchCount = 40;
        for (std::uint32_t i = 0; i < batches; ++i)
            opened.Calls().enumChildMailsNext(inbox, opened.Handle());
    };
    EnumerateMails(opened, *inbox);

    emptyThenRead(4);  // 40 + 40 + 40 + 30: the folder's end
    ExpectValuesReadBack(*inbox, 0, kManyMessages);
    EXPECT_EQ(FilesIn(opened.ValueFileFolder()), before + ValueFilesOf(*inbox).size());

    emptyThenRead(1);
    ExpectValuesReadBack(*inbox, 0, 40);
    opened.Calls().enumChildMails(inbox, opened.Handle(), 5, 10);
    ExpectValuesReadBack(*inbox, 5, 10);
    EXPECT_EQ(FilesIn(opened.ValueFileFolder()), before + ValueFilesOf(*inbox).size());

    emptyThenRead(0);
    const fs::path folder = opened.ValueFileFolder();
    opened.Delete();
    EXPECT_EQ(FilesIn(folder), before);
}

// A copy of a value-file prop that outlives its record, as a careless reader
// might keep one: its path bytes are its own.
struct KeptProp {
    explicit KeptProp(const ExportedProp& prop)
        : bytes(prop.bytes, prop.bytes + prop.byteCount), prop(prop) {
        this->prop.bytes = bytes.data();
    }
    std::vector<std::uint8_t> bytes;
    ExportedProp prop;
};

// Values freed before they were read leave no file, and the ensure export
// refuses them afterwards, as it refuses whatever is not a value of its own
// handle's records still held; a value read once is not written again.
TEST_P(ValueFileLifetime, ARecordFreedBeforeItsValueWasReadLeavesNoFileAndIsRefusedAfter) {
    OpenedStore store(store_, GetParam().engine);
    OpenedStore other(store_, GetParam().engine);
    FolderEntry* inbox = Inbox(store);
    FolderEntry* otherInbox = Inbox(other);
    ASSERT_NE(inbox, nullptr);
    ASSERT_NE(otherInbox, nullptr);
    const std::size_t before = FilesIn(store.ValueFileFolder());
    EnumerateMails(store, *inbox);
    EnumerateMails(other, *otherInbox);
    const MailEntry& mail = *MailsOf(*inbox)[0];
    const ExportedProp& body = *FindProp(mail.props, common::prop::kBody);
    const ExportedProp& data =
        *FindProp(mail.attachments->items[0]->object, common::prop::kAttachDataBin);
    const KeptProp keptBody(body);
    KeptProp inline_(body);
    inline_.prop.inFile = 0;
    const std::vector<fs::path> named = ValueFilesOf(*inbox);

    const auto ensure = [&](EngineHandle* handle, const ExportedProp* prop) {
        return store.Calls().ensureValueFile(handle, prop);
    };
    ASSERT_EQ(ensure(store.Handle(), &data), CORVEX_VALUE_FILE_READY);
    ASSERT_EQ(ensure(store.Handle(), &data), CORVEX_VALUE_FILE_READY);
    EXPECT_EQ(PropBytes(data), DataOf(0));
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before + 1);

    const struct {
        const char* what;
        EngineHandle* handle;
        const ExportedProp* prop;
    } kRefused[] = {
        {"no handle", nullptr, &body},
        {"no prop", store.Handle(), nullptr},
        {"a value held in memory", store.Handle(), &inline_.prop},
        {"another handle's value", other.Handle(), &body},
    };
    for (const auto& refused : kRefused)
        EXPECT_EQ(ensure(refused.handle, refused.prop), CORVEX_VALUE_FILE_UNKNOWN) << refused.what;

    EnumerateMails(store, *inbox);
    EXPECT_EQ(ensure(store.Handle(), &keptBody.prop), CORVEX_VALUE_FILE_UNKNOWN)
        << "a freed record's value";
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before);
    for (const fs::path& file : named) EXPECT_FALSE(fs::exists(file)) << file;
    ExpectValuesReadBack(*otherInbox);
}

INSTANTIATE_TEST_SUITE_P(Variants, ValueFileLifetime, ::testing::ValuesIn(kWrittenVariants),
                         WrittenVariantName);

}  // namespace
}  // namespace velmora::test
