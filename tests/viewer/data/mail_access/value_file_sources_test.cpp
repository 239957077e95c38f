// Value files are written by the engine when first read: every reader of the
// data side asks the open sessions to write the file before it opens the path,
// and takes the first answer from a session that holds the value.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include "common/path_text.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/compressed_rtf/compressed_rtf_file.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/value_file_sources.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// An engine session as the sources see it: its answer, and the file it
// writes when it answers that the file is ready.
struct FakeSession {
    std::int32_t answer = CORVEX_VALUE_FILE_UNKNOWN;
    fs::path file;
    Bytes content;
    int asked = 0;
};

std::map<const EngineHandle*, FakeSession*>& Sessions() {
    static std::map<const EngineHandle*, FakeSession*> sessions;
    return sessions;
}

std::int32_t FakeEnsure(EngineHandle* handle, const ExportedProp*) {
    FakeSession& session = *Sessions().at(handle);
    ++session.asked;
    if (session.answer == CORVEX_VALUE_FILE_READY && !fs::exists(session.file)) {
        std::ofstream(session.file, std::ios::binary)
            .write(reinterpret_cast<const char*>(session.content.data()),
                   static_cast<std::streamsize>(session.content.size()));
    }
    return session.answer;
}

// Sessions entered as sources for the time of one test, in order.
class Sources {
  public:
    explicit Sources(std::vector<FakeSession*> sessions) : handles_(sessions.size()) {
        for (std::size_t i = 0; i < sessions.size(); ++i) {
            Sessions()[&handles_[i]] = sessions[i];
            AddValueFileSource(&handles_[i], FakeEnsure);
        }
    }
    ~Sources() {
        for (EngineHandle& handle : handles_) {
            RemoveValueFileSource(&handle);
            Sessions().erase(&handle);
        }
    }
    Sources(const Sources&) = delete;
    Sources& operator=(const Sources&) = delete;

  private:
    std::vector<EngineHandle> handles_;
};

Bytes FileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every reader of a value file finds it written by the session that holds the
// value, though no file was there when the reader was called.
TEST(ValueFileSources, EveryReaderHasTheFileWrittenBeforeItOpensIt) {
    const Bytes rtf = UncompressedRtf("{\\rtf1 lazy}");
    const std::string rtfText = "{\\rtf1 lazy}";
    const struct {
        const char* reader;
        std::function<Bytes(const ExportedProp&, const fs::path& scratch)> read;
        Bytes expected;
    } kReaders[] = {
        {"ValueBytes", [](const ExportedProp& p, const fs::path&) { return ValueBytes(p); }, rtf},
        {"ValuePrefix", [](const ExportedProp& p, const fs::path&) { return ValuePrefix(p, 4); },
         Bytes(rtf.begin(), rtf.begin() + 4)},
        {"ValueSize",
         [](const ExportedProp& p, const fs::path&) {
             return LongBytes(static_cast<int>(ValueSize(p)));
         },
         LongBytes(static_cast<int>(rtf.size()))},
        {"WriteDataFile",
         [](const ExportedProp& p, const fs::path& scratch) {
             EXPECT_TRUE(WriteDataFile(p, common::PathToUtf16(scratch / "data")));
             return FileBytes(scratch / "data");
         },
         rtf},
        {"DecodedRtf",
         [](const ExportedProp& p, const fs::path&) { return DecodedRtf(p).value_or(Bytes{}); },
         Bytes(rtfText.begin(), rtfText.end())},
    };
    for (const auto& reader : kReaders) {
        SCOPED_TRACE(reader.reader);
        ScratchDir scratch;
        FakeSession elsewhere;
        FakeSession holder{CORVEX_VALUE_FILE_READY, scratch / "value", rtf, 0};
        const Sources sources({&elsewhere, &holder});
        RecordBuilder records;
        const ExportedProp prop = records.Prop(
            {0x1009, 0x0102, Utf16BytesTerminated(common::PathToUtf16(holder.file)), true});
        EXPECT_EQ(reader.read(prop, scratch.Path()), reader.expected);
        EXPECT_EQ(elsewhere.asked, 1) << "a session that does not hold it is passed by";
        EXPECT_EQ(holder.asked, 1);
    }
}

// A session that cannot write its value makes it read as empty, even over a
// stale file; without any session holding it, the file is read as it is.
TEST(ValueFileSources, AFailedWriteReadsAsEmptyAndAnUnclaimedFileAsItIs) {
    ScratchDir scratch;
    const fs::path stale = scratch / "stale";
    std::ofstream(stale) << "stale";
    RecordBuilder records;
    const ExportedProp prop =
        records.Prop({0x1000, 0x0102, Utf16BytesTerminated(common::PathToUtf16(stale)), true});
    FakeSession failing{CORVEX_VALUE_FILE_FAILED, {}, {}, 0};
    FakeSession after{CORVEX_VALUE_FILE_READY, stale, {}, 0};
    {
        const Sources sources({&failing, &after});
        EXPECT_EQ(EnsureValueFile(prop), ValueFileState::kFailed);
        EXPECT_TRUE(ValueBytes(prop).empty());
        EXPECT_EQ(ValueSize(prop), 0u);
        EXPECT_EQ(after.asked, 0) << "the first session that holds the value answers";
    }
    EXPECT_EQ(EnsureValueFile(prop), ValueFileState::kUnclaimed);
    EXPECT_EQ(failing.asked, 3) << "a removed source is not asked";
    const std::string text = "stale";
    EXPECT_EQ(ValueBytes(prop), Bytes(text.begin(), text.end()));
}

}  // namespace
}  // namespace velmora::test
