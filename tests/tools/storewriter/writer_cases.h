// The writer configurations every round trip runs under, and a way to open a
// written store with the engine's reader for its variant.
#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/storage/node_database.h"
#include "tests/support/test_paths.h"
#include "tools/storewriter/store_writer.h"

namespace velmora::storewriter::test {

struct WriterCase {
    std::string name;
    WriterOptions options;
};

// Every variant with crypt methods 0, 1 and 2, and 4K also without compression.
std::vector<WriterCase> AllWriterCases();
// One case per variant, for the big stores.
std::vector<WriterCase> VariantCases();
// The 4K cases of AllWriterCases.
std::vector<WriterCase> FourKCases();

std::string CaseName(const ::testing::TestParamInfo<WriterCase>& info);
inline void PrintTo(const WriterCase& c, std::ostream* out) {
    *out << c.name;
}

template <typename V>
std::unique_ptr<corvex::NodeDatabase<V>> OpenDatabase(const std::filesystem::path& path) {
    auto db = std::make_unique<corvex::NodeDatabase<V>>();
    std::string error;
    if (!db->Open(path.string(), error)) {
        ADD_FAILURE() << "cannot open " << path << ": " << error;
        return nullptr;
    }
    db->Load(corvex::StopToken{});
    return db;
}

// Opens `path` with the reader of `variant` and hands the database to `check`,
// a generic lambda taking `const auto& db`.
template <typename Check>
void WithDatabase(Variant variant, const std::filesystem::path& path, Check&& check) {
    switch (variant) {
        case Variant::kAnsi:
            if (auto db = OpenDatabase<corvex::AnsiTraits>(path)) check(*db);
            break;
        case Variant::kUnicode:
            if (auto db = OpenDatabase<corvex::UnicodeTraits>(path)) check(*db);
            break;
        case Variant::kUnicode4K:
            if (auto db = OpenDatabase<corvex::Unicode4KTraits>(path)) check(*db);
            break;
    }
}

// A writer for the case under test that spools into a scratch folder, and
// writes its store there.
class WriterFixture : public ::testing::TestWithParam<WriterCase> {
  protected:
    WriterFixture() : writer_(OptionsInScratch()) {}

    WriterOptions OptionsInScratch() const {
        WriterOptions options = GetParam().options;
        options.spoolDirectory = scratch_.Path();
        return options;
    }

    std::filesystem::path Write() {
        const auto path = scratch_ / "store.pst";
        std::string error;
        EXPECT_TRUE(writer_.WriteTo(path, &error)) << error;
        return path;
    }

    velmora::test::ScratchDir scratch_;
    StoreWriter writer_;
};

// Bytes that look like real data to the deflater: half repetitive, half not.
std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t salt);

}  // namespace velmora::storewriter::test
