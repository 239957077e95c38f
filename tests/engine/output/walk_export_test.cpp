// The folder export of real stores read back: the directory of every message
// and folder, the property files with their side files, the attachment and
// recipient records, and nothing written outside the target. The records of
// the message enumeration (checked against the independent reader by the
// corpus walk test) say what each directory must hold.
#include <gtest/gtest.h>

#include <iomanip>
#include <map>
#include <sstream>

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "engine/output/files/safe_name.h"
#include "tests/engine/output/corpus_expectations.h"
#include "tests/engine/output/export_reader.h"
#include "tests/engine/output/walk_support.h"
#include "tests/engine/output/written_variants.h"
#include "tests/engine/storage/store_fixtures.h"
#include "tools/storewriter/store_builder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kSubject = 0x0037;
constexpr std::uint16_t kDisplayName = 0x3001;
constexpr std::uint16_t kAttachDataBin = 0x3701;
using common::kAttachEmbeddedMessage;
using common::prop::kAttachMethod;

struct ExportCase {
    const char* store;
    const char* expected;
};

const ExportCase kExportCases[] = {
    {"unicode-plain.pst", "unicode-plain"},
    {"ansi-many-items.pst", "ansi-many-items"},
    {"unicode-password-embedded.pst", "unicode-password-embedded"},
    {"unicode-user1.pst", "unicode-user1"},  // folders two levels deep
    {"ost4k/unicode-plain.ost", "unicode-plain"},
};

void PrintTo(const ExportCase& c, std::ostream* os) {
    *os << c.store;
}

// The subject as the export formats it: the text with a leading U+0001 pair
// (U+0001 followed by U+0001, U+0005 or U+0010) dropped.
std::string SubjectValueText(const MailEntry& mail) {
    std::string subject = PropText(mail.props, kSubject);
    if (subject.size() >= 2 && subject[0] == '\x01' &&
        (subject[1] == '\x01' || subject[1] == '\x05' || subject[1] == '\x10')) {
        subject.erase(0, 2);
    }
    return subject;
}

std::string SafeDirectoryName(const std::string& text, bool messageRule) {
    return common::Utf16ToUtf8(corvex::SafeName(common::Utf8ToUtf16(text), messageRule));
}

std::string MessageDirectoryName(std::size_t ordinal, const MailEntry& mail) {
    return std::to_string(ordinal) + "_" + SafeDirectoryName(SubjectValueText(mail), true);
}

std::string HexOf(const std::vector<std::uint8_t>& bytes) {
    std::ostringstream text;
    text << "0x" << std::uppercase << std::hex << std::setfill('0');
    for (const std::uint8_t byte : bytes) text << std::setw(2) << static_cast<int>(byte);
    return text.str();
}

// A side file holds the value the line shows in hexadecimal; or, for a value the
// store keeps out of line, the line shows the 4-byte reference and its size,
// and the side file the value itself.
bool SideFileHoldsValue(const CsvLine& line) {
    const std::vector<std::uint8_t> content = ReadFileBytes(line.sideFile);
    if (line.size == std::to_string(content.size())) return line.data == HexOf(content);
    return line.size == "4" && line.data.size() == 10;
}

// The PT_BINARY and out-of-line values of a property file lie in side files of their size.
void ExpectSideFiles(const CsvFile& csv, const fs::path& target, const std::string& where) {
    for (const CsvLine& line : csv.lines) {
        if (line.typeName == "PT_BINARY") {
            EXPECT_EQ(line.inFile, "IsInFile: Yes") << where << " " << line.name;
        }
        if (line.inFile != "IsInFile: Yes") {
            EXPECT_EQ(line.inFile, "IsInFile: No") << where << " " << line.name;
            continue;
        }
        const fs::path side(line.sideFile);
        ASSERT_TRUE(fs::is_regular_file(side)) << where << " " << line.sideFile;
        EXPECT_TRUE(LiesInside(side, target)) << line.sideFile;
        EXPECT_TRUE(SideFileHoldsValue(line)) << line.sideFile;
    }
}

CsvFile ExpectWellFormedCsv(const fs::path& path, const std::string& firstLine) {
    CsvFile csv = ReadCsv(path);
    EXPECT_TRUE(fs::is_regular_file(path)) << path;
    EXPECT_EQ(csv.firstLine, firstLine) << path;
    for (const std::string& fault : csv.faults) ADD_FAILURE() << path << ": " << fault;
    return csv;
}

class ExportChecker {
  public:
    ExportChecker(OpenedStore& store, const fs::path& target) : store_(store), target_(target) {}

    // `expectedEntries` starts with the folder's own property file and its side files.
    void CheckFolder(FolderEntry& folder, const fs::path& directory,
                     std::set<std::string> expectedEntries) {
        store_.Calls().enumChildMails(&folder, store_.Handle(), 0, 0);
        const std::vector<const MailEntry*> mails = MailsOf(folder);
        for (std::size_t k = 0; k < mails.size(); ++k)
            expectedEntries.insert(MessageDirectoryName(k + 1, *mails[k]));
        for (std::uint32_t i = 0; i < folder.children->count; ++i) {
            expectedEntries.insert(
                SafeDirectoryName(PropText(folder.children->items[i]->props, kDisplayName), false));
        }
        EXPECT_EQ(EntryNames(directory), expectedEntries) << directory;
        for (std::size_t k = 0; k < mails.size(); ++k)
            CheckMessage(*mails[k], directory / MessageDirectoryName(k + 1, *mails[k]));
        messages_ += mails.size();
        for (std::uint32_t i = 0; i < folder.children->count; ++i)
            CheckChildFolder(*folder.children->items[i], directory);
    }

    std::size_t Messages() const { return messages_; }
    std::size_t Attachments() const { return attachments_; }

  private:
    std::string PropertyFirstLine() const {
        // The Unicode library heads its property files with the row files' line.
        return store_.Variant() == StoreVariant::kUnicode ? kRowFirstLine : kPlainFirstLine;
    }

    void CheckChildFolder(FolderEntry& child, const fs::path& parent) {
        const fs::path directory =
            parent / SafeDirectoryName(PropText(child.props, kDisplayName), false);
        std::set<std::string> ownFiles;
        if (store_.Variant() != StoreVariant::kAnsi) {
            const CsvFile csv =
                ExpectWellFormedCsv(directory / "FolderProp.csv", PropertyFirstLine());
            ExpectSideFiles(csv, target_, directory.string());
            ownFiles.insert("FolderProp.csv");
            for (const CsvLine& line : csv.lines) {
                if (!line.sideFile.empty())
                    ownFiles.insert(fs::path(line.sideFile).filename().string());
            }
        }
        CheckFolder(child, directory, ownFiles);
    }

    void CheckMessage(const MailEntry& mail, const fs::path& directory) {
        const CsvFile csv =
            ExpectWellFormedCsv(directory / "MailPropData" / "MSGProp.csv", PropertyFirstLine());
        ExpectSideFiles(csv, target_, directory.string());
        if (FindProp(mail.props, kSubject) != nullptr) {
            const CsvLine* subject = csv.Find("PR_SUBJECT");
            ASSERT_NE(subject, nullptr) << directory;
            EXPECT_EQ(subject->data, CsvDataText(SubjectValueText(mail))) << directory;
        }
        CheckAttachments(mail, directory / "AttachData");
        CheckRecipients(mail, directory / "RecipientData");
    }

    void CheckAttachments(const MailEntry& mail, const fs::path& attachData) {
        const std::uint32_t count = mail.attachments->count;
        if (count == 0) return;
        EXPECT_EQ(EntryNames(attachData).size(), count) << attachData;
        for (std::uint32_t k = 1; k <= count; ++k) {
            const fs::path record = attachData / ("Record_" + std::to_string(k));
            ExpectWellFormedCsv(record / "AttachProp.csv", kRowFirstLine);
            const CsvFile object =
                ExpectWellFormedCsv(record / "AttachData" / "AttachProp.csv", PropertyFirstLine());
            ExpectSideFiles(object, target_, record.string());
            ExpectContentSideFile(*mail.attachments->items[k - 1], object, record);
        }
    }

    // The content's side file has the size of the attachment's data as the
    // message enumeration handed it over.
    void ExpectContentSideFile(const AttachmentRow& row, const CsvFile& object,
                               const fs::path& record) {
        const ExportedProp* data = FindProp(row.object, kAttachDataBin);
        if (data == nullptr ||
            PropLong(row.object, kAttachMethod) == common::kAttachEmbeddedMessage)
            return;
        const CsvLine* line = object.Find("PR_ATTACH_DATA_OBJ");
        ASSERT_NE(line, nullptr) << record;
        ASSERT_EQ(line->inFile, "IsInFile: Yes") << record;
        EXPECT_EQ(fs::file_size(line->sideFile), PropBytes(*data).size()) << record;
        ++attachments_;
    }

    void CheckRecipients(const MailEntry& mail, const fs::path& recipientData) {
        const std::uint32_t count = mail.recipients->count;
        if (count == 0) return;
        EXPECT_EQ(EntryNames(recipientData).size(), count) << recipientData;
        for (std::uint32_t k = 1; k <= count; ++k) {
            ExpectWellFormedCsv(recipientData / ("Record_" + std::to_string(k)) / "AttachProp.csv",
                                kRowFirstLine);
        }
    }

    OpenedStore& store_;
    fs::path target_;
    std::size_t messages_ = 0;
    std::size_t attachments_ = 0;
};

void ExpectEverythingInside(const fs::path& scratch, const fs::path& target) {
    EXPECT_EQ(EntryNames(scratch), std::set<std::string>{target.filename().string()})
        << "written beside the target";
    for (const std::string& relative : RelativeTree(target)) {
        EXPECT_FALSE(fs::is_symlink(target / relative)) << relative;
        EXPECT_TRUE(LiesInside(target / relative, target)) << relative;
    }
}

// Exports `folder` into `target`, made first, and checks what was written
// against the records.
ExportChecker ExportAndCheck(OpenedStore& store, FolderEntry& folder, const fs::path& target) {
    fs::create_directories(target);
    store.Calls().saveFolderHierarchy(folder.nidLow, folder.nidHigh, U16(target).c_str(),
                                      store.Handle());
    ExportChecker checker(store, target);
    checker.CheckFolder(folder, target, {});
    return checker;
}

class FolderExportReread : public ::testing::TestWithParam<ExportCase> {};

TEST_P(FolderExportReread, TopFolderExportMatchesTheRecords) {
    VELMORA_REQUIRE_CORPUS();
    OpenedStore store(CorpusFile(GetParam().store));
    ASSERT_TRUE(store.Opened());
    FolderEntry* top =
        FindFolderByName(store.AllFolders(), LoadExpected(GetParam().expected)["top"]);
    ASSERT_NE(top, nullptr);
    ScratchDir scratch;
    const fs::path target = scratch / "export";
    const ExportChecker checker = ExportAndCheck(store, *top, target);
    ExpectEverythingInside(scratch.Path(), target);
    std::cout << "[ export   ] " << GetParam().store << ": " << checker.Messages()
              << " message directories, " << checker.Attachments() << " attachment contents\n";
    EXPECT_GT(checker.Messages(), 0u);
}

// A folder large enough that its messages are written on two threads: every
// message lands in the directory its position names, with its own subject and
// its own attachment (each of a size of its own), as one thread writes them.
class LargeFolderExport : public ::testing::TestWithParam<WrittenVariant> {};

TEST_P(LargeFolderExport, EachMessageInTheDirectoryOfItsPosition) {
    constexpr std::uint32_t kMessages = 150;
    ScratchDir scratch;
    storewriter::StoreBuilder builder(
        {.variant = GetParam().writer, .spoolDirectory = scratch.Path()});
    const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox");
    for (std::uint32_t n = 0; n < kMessages; ++n) {
        storewriter::MessageSpec message;
        message.subject = "Message " + std::to_string(n);
        message.body = std::string(5000 + n, 'b');
        message.attachments.push_back({"data.bin", std::vector<std::uint8_t>(9000 + n, 7), {}});
        message.flags |= storewriter::kMessageFlagHasAttachment;
        ASSERT_NE(builder.AddMessage(inbox, message), 0u);
    }
    std::string error;
    ASSERT_TRUE(builder.WriteTo(scratch / "large.pst", &error)) << error;
    OpenedStore store(scratch / "large.pst", GetParam().engine);
    ASSERT_TRUE(store.Opened());
    FolderEntry* top = FindFolderByName(store.AllFolders(), storewriter::kTopFolderName);
    ASSERT_NE(top, nullptr);
    const fs::path target = scratch / "export";
    const ExportChecker checker = ExportAndCheck(store, *top, target);
    EXPECT_EQ(checker.Messages(), kMessages);
    EXPECT_EQ(checker.Attachments(), kMessages);
    EXPECT_TRUE(fs::is_directory(target / "Inbox" / "150_Message 149"));
}

INSTANTIATE_TEST_SUITE_P(Variants, LargeFolderExport, ::testing::ValuesIn(kWrittenVariants),
                         WrittenVariantName);

std::string HexBlockName(std::uint64_t bid) {
    std::ostringstream name;
    name << "0x" << std::uppercase << std::hex << static_cast<std::uint32_t>(bid) << "_.bin";
    return name.str();
}

std::set<std::string> BlockDumpNames(const fs::path& store) {
    std::set<std::string> names;
    auto database = OpenStore<corvex::Unicode4KTraits>(store);
    for (const auto& entry : database->Blocks().records) names.insert(HexBlockName(entry.bid));
    return names;
}

// Everything below `root` with the size of each file that holds no path (the
// property files name their side files by full path, which differs by root).
std::set<std::string> TreeWithSizes(const fs::path& root) {
    std::set<std::string> out;
    for (const std::string& relative : RelativeTree(root)) {
        const fs::path path = root / relative;
        const bool sized = fs::is_regular_file(path) && path.extension() != ".csv";
        out.insert(relative + (sized ? " " + std::to_string(fs::file_size(path)) : ""));
    }
    return out;
}

class ParseTestExport : public ::testing::TestWithParam<const char*> {};

TEST_P(ParseTestExport, WritesTheRootExportAndTheBlockDump) {
    VELMORA_REQUIRE_CORPUS();
    const fs::path storePath = CorpusFile(GetParam());
    OpenedStore store(storePath);
    ScratchDir saved;
    store.Calls().saveFolderHierarchy(0x122, 0, U16(saved.Path()).c_str(), store.Handle());

    ScratchDir testRoot;
    ASSERT_EQ(store.Calls().parseTest(U16(testRoot.Path()).c_str(), U16(storePath).c_str()), 1);
    EXPECT_EQ(TreeWithSizes(testRoot / "Folder"), TreeWithSizes(saved.Path()));
    const std::set<std::string> dumped = EntryNames(testRoot / "Bin File");
    if (store.Variant() == StoreVariant::kUnicode4K) {
        EXPECT_EQ(dumped, BlockDumpNames(storePath));
    } else {
        EXPECT_TRUE(dumped.empty());
    }
}

// Sibling folders whose directory names come out the same, in a written
// store: each gets a directory of its own, numbered in walk order (the order
// the folders were added), so no folder's messages overwrite another's.
struct SiblingCase {
    const char* label;
    // Each folder's parent (an index into this list, -1 for the top folder) and name.
    std::vector<std::pair<int, std::string>> folders;
    // Where each folder's one message must land, below the target.
    std::vector<std::string> directories;
};

const SiblingCase kSiblingCases[] = {
    {"two", {{-1, "Inbox"}, {-1, "Inbox"}}, {"Inbox", "Inbox (2)"}},
    {"three", {{-1, "Inbox"}, {-1, "Inbox"}, {-1, "Inbox"}}, {"Inbox", "Inbox (2)", "Inbox (3)"}},
    {"equal once made safe", {{-1, "a/b"}, {-1, "a_b"}}, {"a_b", "a_b (2)"}},
    {"number taken by a real folder",
     {{-1, "Inbox (2)"}, {-1, "Inbox"}, {-1, "Inbox"}},
     {"Inbox (2)", "Inbox", "Inbox (3)"}},
    {"numbers counted per parent",
     {{-1, "Inbox"}, {-1, "Inbox"}, {1, "Inbox"}, {1, "Inbox"}, {-1, "Inbox"}},
     {"Inbox", "Inbox (2)", "Inbox (2)/Inbox", "Inbox (2)/Inbox (2)", "Inbox (3)"}},
};

fs::path WriteSiblingStore(const SiblingCase& c, storewriter::Variant variant,
                           const fs::path& scratch) {
    storewriter::StoreBuilder builder({.variant = variant, .spoolDirectory = scratch});
    std::vector<std::uint32_t> nids;
    for (const auto& [parent, name] : c.folders) {
        nids.push_back(builder.AddFolder(parent < 0 ? builder.TopFolder() : nids.at(parent), name));
        storewriter::MessageSpec message;
        message.subject = "Message " + std::to_string(nids.size());
        EXPECT_NE(builder.AddMessage(nids.back(), message), 0u);
    }
    std::string error;
    EXPECT_TRUE(builder.WriteTo(scratch / "siblings.pst", &error)) << error;
    return scratch / "siblings.pst";
}

class SameNamedSiblings : public ::testing::TestWithParam<WrittenVariant> {};

TEST_P(SameNamedSiblings, EachFolderKeepsADirectoryOfItsOwn) {
    for (const SiblingCase& c : kSiblingCases) {
        SCOPED_TRACE(c.label);
        ScratchDir scratch;
        OpenedStore store(WriteSiblingStore(c, GetParam().writer, scratch.Path()),
                          GetParam().engine);
        ASSERT_TRUE(store.Opened());
        FolderEntry* top = FindFolderByName(store.AllFolders(), storewriter::kTopFolderName);
        ASSERT_NE(top, nullptr);
        const fs::path target = scratch / "export";
        fs::create_directories(target);
        store.Calls().saveFolderHierarchy(top->nidLow, top->nidHigh, U16(target).c_str(),
                                          store.Handle());

        // Every message is written exactly once, in its own folder's directory.
        std::map<std::string, int> written;
        for (const std::string& relative : RelativeTree(target)) {
            const std::string name = fs::path(relative).filename().string();
            if (name.starts_with("1_")) ++written[name];
        }
        EXPECT_EQ(written.size(), c.folders.size());
        for (std::size_t k = 0; k < c.directories.size(); ++k) {
            const std::string message = "1_Message " + std::to_string(k + 1);
            EXPECT_EQ(written[message], 1) << message;
            EXPECT_TRUE(fs::is_regular_file(target / c.directories[k] / message / "MailPropData" /
                                            "MSGProp.csv"))
                << c.directories[k];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, SameNamedSiblings, ::testing::ValuesIn(kWrittenVariants),
                         WrittenVariantName);

INSTANTIATE_TEST_SUITE_P(Stores, FolderExportReread, ::testing::ValuesIn(kExportCases),
                         [](const auto& info) { return TestNameOf(info.param.store); });
// One small store per library: the test run repeats the whole export.
INSTANTIATE_TEST_SUITE_P(Stores, ParseTestExport,
                         ::testing::Values("ansi-basic.pst", "unicode-password-embedded.pst",
                                           "ost4k/unicode-to-cc.ost"),
                         [](const auto& info) { return TestNameOf(info.param); });

}  // namespace
}  // namespace velmora::test
