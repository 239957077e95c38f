// The files of the folder export, value files and block dumps, checked byte
// by byte where their format is fixed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "common/uuid_text.h"
#include "engine/output/files/block_dump.h"
#include "engine/output/files/output_directory.h"
#include "engine/output/files/property_csv.h"
#include "engine/output/files/row_file.h"
#include "engine/output/files/side_file.h"
#include "engine/output/files/uuid_table.h"
#include "engine/output/files/value_file.h"
#include "engine/output/walks/exported_props.h"
#include "engine/output/walks/record_memory.h"
#include "engine/storage/engine_message.h"
#include "tests/engine/output/output_test_support.h"
#include "tests/support/test_paths.h"

namespace corvex {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::LittleEndian;
using test::ReadFileText;
using test::Utf16Le;
using test::Utf8;
using test::View;

constexpr CsvFlavor kWide{CsvFirstLine::kPlain, TextVariant::kWide};
const Bytes kBodyNid = LittleEndian(0x2223, 4);
const Bytes kBody = {'b', 'o', 'd', 'y'};

Bytes ResolveBody(const PropertyView&) {
    return kBody;
}

std::string PathText(const fs::path& path) {
    return Utf8(path.u8string());
}

void Touch(const fs::path& path) {
    std::ofstream(path) << "x";
}

TEST(PropertyCsv, WritesFirstLineFieldsAndSideFiles) {
    velmora::test::ScratchDir dir;
    const Bytes subject = Utf16Le(u"a,b\r\nc");
    const Bytes entryId = {0x01, 0x02};
    const PropertyView properties[] = {View(0x0037, 0x001F, subject), View(0x0FFF, 0x0102, entryId),
                                       View(0x1000, 0x001F, kBodyNid, true)};
    WritePropertyCsv(dir.Path(), u"MSGProp", properties, ResolveBody, kWide);

    const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
    const std::string root = PathText(dir.Path());
    EXPECT_EQ(ReadFileText(dir / "MSGProp.csv"),
              "Sr.No,Property Type,Data type,Data Size,Data,Internal Data \r\n"
              "1, PR_SUBJECT, PT_UNICODE, 14, a<Comm>b<rn>c, IsInFile: No, \r\n"
              "2, PR_ENTRYID, PT_BINARY, 2, 0x0102, IsInFile: Yes, " +
                  root + sep +
                  "2.PR_ENTRYID.bin.txt\r\n"
                  "3, PR_BODY, PT_UNICODE, 4, 0x23220000, IsInFile: Yes, " +
                  root + sep + "3.PR_BODY.txt\r\n");
    EXPECT_EQ(ReadFileText(dir / "2.PR_ENTRYID.bin.txt"), "\x01\x02");
    EXPECT_EQ(ReadFileText(dir / "3.PR_BODY.txt"), "body");
}

TEST(PropertyCsv, FlavorChoosesTheFirstLine) {
    velmora::test::ScratchDir dir;
    WritePropertyCsv(dir.Path(), u"FolderProp", {}, ResolveBody,
                     {CsvFirstLine::kWithFileName, TextVariant::kWide});
    EXPECT_EQ(ReadFileText(dir / "FolderProp.csv"),
              "Sr.No,Property Type,Data type,Data Size,Data,Internal Data,File Name \r\n");
}

TEST(PropertyCsv, WritesUtf8WithoutByteOrderMark) {
    velmora::test::ScratchDir dir;
    const Bytes subject = Utf16Le(u"Grüße 日本 😀");
    const PropertyView properties[] = {View(0x0037, 0x001F, subject)};
    WritePropertyCsv(dir.Path(), u"Prop_ü", properties, ResolveBody, kWide);
    const std::string text = ReadFileText(dir.Path() / common::PathFromUtf16(u"Prop_ü.csv"));
    EXPECT_TRUE(text.starts_with("Sr.No,"));
    EXPECT_NE(text.find("Gr\xC3\xBC\xC3\x9F"
                        "e \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80"),
              std::string::npos);
}

TEST(PropertyCsv, AnsiVariantShowsEightBitText) {
    velmora::test::ScratchDir dir;
    const Bytes subject = {'c', 'a', 'f', 0xE9, 0};
    const PropertyView properties[] = {View(0x0037, 0x001E, subject)};
    WritePropertyCsv(dir.Path(), u"MSGProp", properties, ResolveBody,
                     {CsvFirstLine::kPlain, TextVariant::kAnsi});
    EXPECT_NE(ReadFileText(dir / "MSGProp.csv").find("PT_STRING8, 5, caf\xC3\xA9, IsInFile: No"),
              std::string::npos);
}

// Saving a message again keeps the earlier body and numbers the new one.
TEST(PropertyCsv, SideFilesOfARepeatedSaveGetSuffixes) {
    velmora::test::ScratchDir dir;
    const PropertyView properties[] = {View(0x1000, 0x001F, kBodyNid, true)};
    for (int pass = 0; pass < 3; ++pass)
        WritePropertyCsv(dir.Path(), u"MSGProp", properties, ResolveBody, kWide);
    for (const char* name : {"1.PR_BODY.txt", "1.PR_BODY1.txt", "1.PR_BODY2.txt"}) {
        EXPECT_EQ(ReadFileText(dir / name), "body") << name;
    }
    const std::string csv = ReadFileText(dir / "MSGProp.csv");
    EXPECT_TRUE(csv.ends_with("1.PR_BODY2.txt\r\n")) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);
}

TEST(PropertyCsv, SkipsEverythingWhenTheFileCannotBeOpened) {
    velmora::test::ScratchDir dir;
    const PropertyView properties[] = {View(0x1000, 0x001F, kBodyNid, true)};
    WritePropertyCsv(dir / "missing", u"MSGProp", properties, ResolveBody, kWide);
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(SideFile, NamesFollowTheProperty) {
    const std::pair<std::uint16_t, std::u16string> cases[] = {
        {0x1013, u"4.PR_BODY_HTML.html"},
        {0x1000, u"4.PR_BODY.txt"},
        {0x0FFF, u"4.PR_ENTRYID.bin.txt"},
        {0x7FFF, u"4.Property is-7FFF.bin.txt"},
        {0x8004, u"4.EMS_AB_FOLDE R_PATHNAME.bin.txt"},
    };
    for (const auto& [id, expected] : cases) EXPECT_EQ(SideFileName(4, id, u""), expected);
    EXPECT_EQ(SideFileName(65535, 0x1000, u"12"), u"65535.PR_BODY12.txt");
}

// The search for a free name ends; when every name is taken the value stays
// in the CSV only.
TEST(SideFile, SearchForAFreeNameIsBounded) {
    velmora::test::ScratchDir dir;
    Touch(dir / "1.PR_BODY.txt");
    for (unsigned i = 1; i <= kMaxSideFileSuffix; ++i)
        Touch(dir / ("1.PR_BODY" + std::to_string(i) + ".txt"));
    const std::uint8_t value[] = {1, 2, 3};
    EXPECT_FALSE(WriteSideFile(dir.Path(), 1, 0x1000, value).has_value());
    EXPECT_EQ(ReadFileText(dir / "1.PR_BODY.txt"), "x");  // nothing written over

    const PropertyView properties[] = {View(0x1000, 0x001F, kBodyNid, true)};
    WritePropertyCsv(dir.Path(), u"MSGProp", properties, ResolveBody, kWide);
    EXPECT_TRUE(ReadFileText(dir / "MSGProp.csv").ends_with("IsInFile: No, \r\n"));
}

#if !defined(_WIN32)
// A link planted under a side file's name must not carry the value elsewhere.
TEST(SideFile, DanglingLinkCountsAsTaken) {
    velmora::test::ScratchDir dir;
    velmora::test::ScratchDir elsewhere;
    fs::create_symlink(elsewhere / "stolen", dir / "1.PR_BODY.txt");
    const std::uint8_t value[] = {'v'};
    EXPECT_EQ(WriteSideFile(dir.Path(), 1, 0x1000, value), dir / "1.PR_BODY1.txt");
    EXPECT_EQ(ReadFileText(dir / "1.PR_BODY1.txt"), "v");
    EXPECT_FALSE(fs::exists(elsewhere / "stolen"));
}
#endif

TEST(RowFile, KeepsRowTextAndNamesSideFilesWithDoubledSeparator) {
    velmora::test::ScratchDir dir;
    const Bytes name = Utf16Le(
        u"\x01\x01"
        u"a,b\nc");
    const Bytes entryId = {0xAB};
    const PropertyView cells[] = {View(0x3001, 0x001F, name), View(0x0FFF, 0x0102, entryId)};
    WriteRowFile(dir.Path(), cells, TextVariant::kWide);

    const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
    EXPECT_EQ(ReadFileText(dir / "AttachProp.csv"),
              "Sr.No,Property Type,Data type,Data Size,Data,Internal Data,File Name \r\n"
              "1, PR_DISPLAY_NAME, PT_UNICODE, 16, \x01\x01"
              "a,b\r\nc, IsInFile: No, \r\n"
              "2, PR_ENTRYID, PT_BINARY, 1, 0xAB, IsInFile: Yes, " +
                  PathText(dir.Path()) + sep + sep + "2.PR_ENTRYID.bin.txt\r\n");
    EXPECT_FALSE(fs::exists(dir / "2.PR_ENTRYID.bin.txt"));
}

// A ledger whose reader hands out `value` and counts how often the store was read.
struct CountingReader {
    Bytes value;
    int reads = 0;
    ValueFileLedger::ValueReader Reader() {
        return [this](const ValueLocation&) {
            ++reads;
            return value;
        };
    }
};

// Names a value and has its file written at once.
fs::path WrittenValueFile(ValueFileLedger& ledger, const Bytes& value) {
    CountingReader reader{value};
    const fs::path path = common::PathFromUtf16(ledger.Name({}));
    EXPECT_EQ(ledger.Ensure(common::PathToUtf16(path), reader.Reader()),
              ValueFileLedger::EnsureResult::kReady);
    return path;
}

// A value is named at once and written only when it is first read, from the
// store once however often it is read; a name whose file cannot be made, or
// that something else took, is never written through and may be tried again.
TEST(ValueFile, IsNamedByAFreshVersion4UuidAndWrittenOnceWhenFirstRead) {
    velmora::test::ScratchDir root;
    ValueFileLedger ledger(root.Path());
    CountingReader reader{{0x00, 0x0D, 0x0A, 0xFF}};
    const fs::path first = common::PathFromUtf16(ledger.Name({}));
    const fs::path second = common::PathFromUtf16(ledger.Name({}));
    const std::u16string firstText = common::PathToUtf16(first);

    const std::regex uuid("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    EXPECT_TRUE(std::regex_match(first.filename().string(), uuid)) << first;
    EXPECT_EQ(first.parent_path(), root / "GUIDTempFiles");
    EXPECT_NE(first, second);
    EXPECT_EQ(ledger.Ensure(firstText, reader.Reader()), ValueFileLedger::EnsureResult::kFailed)
        << "no folder to write in";
    EXPECT_FALSE(fs::exists(first));

    fs::create_directory(root / "GUIDTempFiles");
    velmora::test::ScratchDir elsewhere;
    Touch(elsewhere / "target");
    const std::string untouched = ReadFileText(elsewhere / "target");
    fs::create_symlink(elsewhere / "target", second);
    EXPECT_EQ(ledger.Ensure(common::PathToUtf16(second), reader.Reader()),
              ValueFileLedger::EnsureResult::kFailed);
    EXPECT_EQ(ReadFileText(elsewhere / "target"), untouched)
        << "a link in place is not written through";

    for (int read = 0; read < 3; ++read)
        EXPECT_EQ(ledger.Ensure(firstText, reader.Reader()), ValueFileLedger::EnsureResult::kReady);
    EXPECT_EQ(ReadFileText(first), std::string("\x00\x0D\x0A\xFF", 4));
    EXPECT_EQ(reader.reads, 3) << "two failed attempts and one write";
    EXPECT_EQ(ledger.Held(), 2u);
    EXPECT_EQ(ledger.Written(), 1u);
}

// Sessions share one value-file folder with each other and with the viewer's
// own temporary files, and a record's path may have been edited: a ledger
// removes a file only when it wrote that very name and the path leads to it
// directly.
TEST(ValueFileLedger, RemovesOnlyFilesItWroteDirectlyInItsFolder) {
    velmora::test::ScratchDir root;
    fs::create_directory(root / "GUIDTempFiles");
    fs::create_directory(root / "Folder");
    auto ours = std::make_unique<ValueFileLedger>(root.Path());
    ValueFileLedger other(root.Path());
    const fs::path kept = WrittenValueFile(*ours, Bytes{1});
    const fs::path freed = WrittenValueFile(*ours, Bytes{2});
    const fs::path others = WrittenValueFile(other, Bytes{3});
    const fs::path unread = ours->Name({});
    const fs::path viewers = root / "GUIDTempFiles" / common::PathFromUtf16(common::NewUuidText());
    const fs::path outside = root / "Folder" / kept.filename();
    Touch(viewers);
    Touch(outside);

    const std::u16string keptText = common::PathToUtf16(kept);
    std::u16string upper = keptText;
    std::transform(upper.end() - 36, upper.end(), upper.end() - 36, [](char16_t c) {
        return c >= u'a' && c <= u'f' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    });
    const std::u16string refused[] = {
        common::PathToUtf16(others),
        common::PathToUtf16(viewers),
        common::PathToUtf16(outside),
        common::PathToUtf16(root / "GUIDTempFiles" / ".." / "GUIDTempFiles" / kept.filename()),
        upper,
        keptText + u"/",
        keptText + u"0",
        keptText.substr(0, keptText.size() - 1),
        keptText.substr(keptText.size() - 36),
        u"",
    };
    CountingReader reader{{9}};
    for (const std::u16string& path : refused) {
        EXPECT_EQ(ours->Ensure(path, reader.Reader()), ValueFileLedger::EnsureResult::kUnknown);
        ours->Remove(path);
    }
    EXPECT_EQ(reader.reads, 0);
    EXPECT_EQ(ours->Held(), 3u);
    for (const fs::path& file : {kept, freed, others, viewers, outside})
        EXPECT_TRUE(fs::is_regular_file(file)) << file;

    ours->Remove(common::PathToUtf16(freed));
    EXPECT_FALSE(fs::exists(freed));
    // A value freed before it was read leaves no file, and is not written afterwards.
    ours->Remove(common::PathToUtf16(unread));
    EXPECT_EQ(ours->Ensure(common::PathToUtf16(unread), reader.Reader()),
              ValueFileLedger::EnsureResult::kUnknown);
    EXPECT_FALSE(fs::exists(unread));
    EXPECT_EQ(ours->Held(), 1u);
    ours.reset();
    EXPECT_FALSE(fs::exists(kept)) << "what is left goes with the ledger";
    for (const fs::path& file : {others, viewers, outside})
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
}

TEST(BlockDump, NamesUseTheLowWordOfTheBid) {
    const fs::path root = "store-temp";
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0x1A4, "0x1A4_.bin"}, {0x12345678ABCDEF01, "0xABCDEF01_.bin"}, {0, "0x0_.bin"}};
    for (const auto& [bid, name] : cases)
        EXPECT_EQ(BlockDumpPath(root, bid), root / "Bin File" / name);

    velmora::test::ScratchDir dir;
    fs::create_directory(dir / "Bin File");
    WriteBlockDump(BlockDumpPath(dir.Path(), 0x1A4), Bytes{0x00, 0x7F});
    EXPECT_EQ(ReadFileText(dir / "Bin File" / "0x1A4_.bin"), std::string("\x00\x7F", 2));
}

TEST(EnsureDirectory, CreatesMissingDirectoriesAndReportsFailures) {
    velmora::test::ScratchDir dir;
    ResetRecordedEngineMessages();
    EXPECT_TRUE(EnsureDirectory(dir / "1_x" / "MailPropData"));
    EXPECT_TRUE(EnsureDirectory(dir / "1_x"));
    EXPECT_EQ(RecordedEngineMessages().count, 0u);

    Touch(dir / "taken");
    EXPECT_FALSE(EnsureDirectory(dir / "taken", "Corvex64"));
    EXPECT_EQ(RecordedEngineMessages().lastText,
              "Cannot create folder \"" + (dir / "taken").string() + "\": Not a directory");
    EXPECT_EQ(RecordedEngineMessages().lastCaption, "Corvex64");
    EXPECT_FALSE(EnsureDirectory(dir / "taken" / "below"));
    const EngineMessageLog log = RecordedEngineMessages();
    EXPECT_EQ(log.count, 2u);
    EXPECT_EQ(log.lastText, "Cannot create folder \"" + (dir / "taken" / "below").string() +
                                "\": Not a directory");
    EXPECT_EQ(log.lastCaption, "Corvex");
}

// Within one export call a failure that strikes every message of a folder is
// shown once, naming the first path; each other kind of failure is shown too,
// and every one is counted.
TEST(EnsureDirectory, ShowsEachKindOfFailureOncePerExportCall) {
    velmora::test::ScratchDir dir;
    Touch(dir / "taken");
    std::vector<std::string> shown;
    const EngineMessageHandler previous = SetEngineMessageHandler(
        [&](std::string_view text, std::string_view) { shown.emplace_back(text); });
    ResetRecordedEngineMessages();
    {
        const EngineMessageScope call;
        for (const char* message : {"1_a", "2_b", "3_c"})
            EXPECT_FALSE(EnsureDirectory(dir / "taken" / message));
        EXPECT_FALSE(EnsureDirectory(dir / std::string(300, 'x')));
    }
    SetEngineMessageHandler(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Cannot create folder \"" + (dir / "taken" / "1_a").string() +
                             "\": Not a directory",
                         "Cannot create folder \"" + (dir / std::string(300, 'x')).string() +
                             "\": File name too long"}));
    EXPECT_EQ(RecordedEngineMessages().count, 4u);
}

}  // namespace
}  // namespace corvex

namespace corvex {
namespace {

PropValue ValueOf(std::uint16_t id, std::uint16_t type, std::size_t size, bool inSubnode = false) {
    PropValue value{id, type, {}, inSubnode, nullptr};
    for (std::size_t i = 0; i < size; ++i) value.bytes.push_back(static_cast<std::uint8_t>(id + i));
    return value;
}

// The viewer reads values in place as integers and times, and frees nothing:
// every value of a map must keep its bytes, start on an 8-byte boundary and
// stay valid until the map is freed, whatever the mix of sizes.
TEST(ExportedProps, CopiesEveryValueAlignedAndInOrder) {
    PropertyMap properties;
    const std::size_t sizes[] = {0, 1, 3, 8, 13, 4096, 2};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        properties.Add(ValueOf(static_cast<std::uint16_t>(0x3000 + i), 0x0102, sizes[i]));
    }
    properties.Add(ValueOf(0x3001, 0x0003, 4));  // a repeated id keeps its place after the first
    properties.Add(ValueOf(0x1000, 0x001F, 4, true));
    const ValueFileWriter writer = [](const PropValue&) {
        return std::u16string(u"/tmp/value-file");
    };

    ExportedPropMap* map = ExportProperties(properties, &writer);
    ASSERT_EQ(map->count, properties.Size());
    auto expected = properties.begin();
    for (std::uint32_t i = 0; i < map->count; ++i, ++expected) {
        const ExportedProp& prop = *map->items[i];
        const PropValue& value = expected->second;
        SCOPED_TRACE("prop " + std::to_string(i));
        EXPECT_EQ(prop.id, value.id);
        EXPECT_EQ(prop.type, value.type);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(prop.bytes) % 8, 0u);
        if (value.inSubnode) {
            const std::u16string path(u"/tmp/value-file");
            EXPECT_EQ(prop.inFile, 1);
            ASSERT_EQ(prop.byteCount, (path.size() + 1) * 2);
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(prop.bytes)), path);
        } else {
            EXPECT_EQ(prop.inFile, 0);
            EXPECT_EQ(Bytes(prop.bytes, prop.bytes + prop.byteCount), value.bytes);
        }
    }
    FreePropMap(map);
}

// The ledger's table against an ordered map, through inserts, replacements
// and erases in a mixed order, with keys that share their home slot (long
// runs that wrap past the table's end) as well as random ones: every key
// stays findable with its last value until it is erased, and only then.
TEST(UuidTable, AgreesWithAnOrderedMapThroughChurn) {
    struct Case {
        const char* name;
        std::uint64_t homeMask;  // 0: every key has the same home slot
        int keys;
    };
    const Case cases[] = {{"random keys", ~0ull, 3000},
                          {"one home for all", 0, 200},
                          {"few homes at the end", 0x3, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UuidTable<int> table;
        std::map<common::UuidBytes, int> expected;
        std::mt19937_64 random(7);
        std::vector<common::UuidBytes> keys;
        for (int i = 0; i < c.keys; ++i) {
            common::UuidBytes key = common::NewUuidBytes();
            // Homes near the top of any power-of-two table make runs wrap around.
            const std::uint64_t home = (random() & c.homeMask) | (~0ull & ~c.homeMask);
            std::memcpy(key.data(), &home, sizeof home);
            keys.push_back(key);
        }
        for (int step = 0; step < c.keys * 4; ++step) {
            const common::UuidBytes& key = keys[random() % keys.size()];
            if (random() % 3 == 0) {
                EXPECT_EQ(table.Erase(key), expected.erase(key) == 1);
            } else {
                table.Put(key, step);
                expected[key] = step;
            }
        }
        ASSERT_EQ(table.Size(), expected.size());
        for (const common::UuidBytes& key : keys) {
            const int* found = table.Find(key);
            const auto want = expected.find(key);
            ASSERT_EQ(found != nullptr, want != expected.end());
            if (found != nullptr) {
                EXPECT_EQ(*found, want->second);
            }
        }
        table.KeepIf([](int value) { return value % 2 == 0; });
        std::erase_if(expected, [](const auto& entry) { return entry.second % 2 != 0; });
        std::size_t visited = 0;
        table.ForEach([&](const common::UuidBytes& key, int value) {
            ++visited;
            EXPECT_EQ(expected.at(key), value);
        });
        EXPECT_EQ(visited, expected.size());
        EXPECT_EQ(table.Size(), expected.size());
    }
}

// A message's records are one block: the viewer walks its lists and maps as
// declared, every value keeps its bytes on an 8-byte boundary, and freeing
// the message (with an embedded one below an attachment) forgets every value
// it named, in whatever shape the message comes.
TEST(MailEntryBlock, HoldsEveryMapAsDeclaredAndForgetsItsValuesWhenFreed) {
    struct Shape {
        std::size_t attachments;
        std::size_t recipients;
        bool embedded;
    };
    const Shape shapes[] = {
        {0, 0, false}, {1, 2, false}, {3, 0, true}, {0, 5, false}, {2, 1, true}};
    velmora::test::ScratchDir root;
    ValueFileLedger ledger(root.Path());
    RecordArena arena;
    RecordArena::Carver carver(arena);
    std::vector<std::u16string> paths;  // reserved: the sources point into them
    paths.reserve(64);
    // Props of every size class, one of them a value held in a file when `named`.
    const auto propsOf = [&](std::uint16_t base, std::size_t count, bool named) {
        std::vector<PropSource> props;
        static const std::uint8_t kFill[4096] = {0x5A};
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t size = (i * 7 + base) % 23;
            props.push_back({static_cast<std::uint16_t>(base + i), 0x0102, false, {kFill, size}});
        }
        if (named) {
            paths.push_back(ledger.Name({}));
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(paths.back().c_str());
            props.push_back({0x1000, 0x001F, true, {bytes, (paths.back().size() + 1) * 2}});
        }
        return props;
    };
    const auto expectMap = [](const ExportedPropMap* map, const std::vector<PropSource>& props) {
        ASSERT_NE(map, nullptr);
        ASSERT_EQ(map->count, props.size());
        EXPECT_EQ(map->capacity, map->count);
        for (std::uint32_t i = 0; i < map->count; ++i) {
            const ExportedProp& prop = *map->items[i];
            EXPECT_EQ(prop.id, props[i].id);
            EXPECT_EQ(prop.inFile, props[i].inFile ? 1 : 0);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(prop.bytes) % 8, 0u);
            EXPECT_EQ(Bytes(prop.bytes, prop.bytes + prop.byteCount),
                      Bytes(props[i].bytes.begin(), props[i].bytes.end()));
        }
    };

    for (const Shape& shape : shapes) {
        SCOPED_TRACE(std::to_string(shape.attachments) + " attachments, " +
                     std::to_string(shape.recipients) + " recipients");
        const auto messageProps = propsOf(0x0E00, 19, true);
        std::vector<std::vector<PropSource>> rowProps;
        rowProps.reserve(2 * shape.attachments + shape.recipients);
        MailSource source{messageProps, {}, {}};
        for (std::size_t a = 0; a < shape.attachments; ++a) {
            const auto& row = rowProps.emplace_back(propsOf(0x3700, 6, false));
            const auto& object = rowProps.emplace_back(propsOf(0x3701, 8, true));
            MailEntry* embedded = nullptr;
            if (shape.embedded && a == 0)
                embedded = NewMailEntry(MailSource{propsOf(0x0E01, 4, true), {}, {}}, carver);
            source.attachments.push_back({row, object, embedded});
        }
        for (std::size_t r = 0; r < shape.recipients; ++r)
            source.recipients.push_back(rowProps.emplace_back(propsOf(0x3000, 10, false)));
        const std::size_t named = 1 + shape.attachments + (shape.embedded ? 1 : 0);
        ASSERT_EQ(ledger.Held(), named);

        MailEntry* entry = NewMailEntry(source, carver);
        expectMap(entry->props, messageProps);
        ASSERT_EQ(entry->attachments->count, shape.attachments);
        ASSERT_EQ(entry->recipients->count, shape.recipients);
        EXPECT_EQ(entry->attachments->capacity, shape.attachments);
        for (std::size_t a = 0; a < shape.attachments; ++a) {
            const AttachmentRow& row = *entry->attachments->items[a];
            expectMap(row.tableRow, rowProps[2 * a]);
            expectMap(row.object, rowProps[2 * a + 1]);
            EXPECT_EQ(row.embedded, source.attachments[a].embedded);
        }
        for (std::size_t r = 0; r < shape.recipients; ++r)
            expectMap(entry->recipients->items[r]->tableRow, rowProps[2 * shape.attachments + r]);

        FreeMailEntry(entry, &ledger);
        EXPECT_EQ(ledger.Held(), 0u);
    }
}

TEST(ExportedProps, EmptyMapHasNoItems) {
    ExportedPropMap* map = ExportProperties(PropertyMap{}, nullptr);
    EXPECT_EQ(map->count, 0u);
    FreePropMap(map);
    FreePropMap(nullptr);
}

}  // namespace
}  // namespace corvex
