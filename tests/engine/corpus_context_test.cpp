// Every folder and message context of every real store, read through the heap,
// property and table context layers and compared with what an independent
// reader reports for the same store (expected/NAME.json).
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/engine/corpus_items.h"
#include "tests/support/test_paths.h"

namespace velmora::test {
namespace {

using nlohmann::json;

struct CorpusStore {
    std::string file;      // below the corpus folder
    std::string expected;  // NAME of expected/NAME.json
};

std::string LastComponent(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Describe(const StoreItem& item) {
    std::ostringstream out;
    out << "subject '" << item.subject << "' sender '" << item.senderName << "' recipients [";
    for (const auto& r : item.recipients) out << r.name << " <" << r.address << "> " << r.type << "; ";
    out << "] attachments [";
    for (const auto& a : item.attachments) out << a.name << " " << a.dataSize << "/" << a.attachSize << "; ";
    out << "]";
    return out.str();
}

StoreItem FromJson(const json& item) {
    StoreItem out;
    out.subject = item.value("subject", "");
    out.senderName = item.value("sender_name", "");
    for (const json& r : item["recipients"]) out.recipients.push_back({r["name"], r["email"], r["type"]});
    for (const json& a : item["attachments"]) out.attachments.push_back({a["name"], 0, a["size"]});
    return out;
}

bool SameRecipient(const StoreRecipient& expected, const StoreRecipient& actual) {
    return expected.name == actual.name && expected.type == actual.type &&
           (expected.address.empty() || expected.address == actual.address);
}

// The independent reader reports an attachment's size as the bytes of its data.
bool SameAttachment(const StoreAttachment& expected, const StoreAttachment& actual) {
    return expected.name == actual.name && expected.dataSize == actual.dataSize;
}

template <typename T, typename Same>
bool SameList(const std::vector<T>& expected, const std::vector<T>& actual, Same same) {
    if (expected.size() != actual.size()) return false;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (!same(expected[i], actual[i])) return false;
    }
    return true;
}

bool SameItem(const StoreItem& expected, const StoreItem& actual) {
    return expected.subject == actual.subject && expected.senderName == actual.senderName &&
           SameList(expected.recipients, actual.recipients, SameRecipient) &&
           SameList(expected.attachments, actual.attachments, SameAttachment);
}

struct MatchResult {
    std::size_t items = 0, matched = 0;
    std::size_t folders = 0, foldersFound = 0;
    std::vector<std::string> differences;
};

// Pairs each expected item with an unused engine item of the same folder: the
// first that agrees in every field, else the first with the same subject.
void MatchFolder(const json& folder, StoreContents& contents, std::vector<bool>& used, MatchResult& result) {
    const std::string name = LastComponent(folder["path"]);
    for (const json& item : folder["items"]) {
        const StoreItem expected = FromJson(item);
        ++result.items;
        std::optional<std::size_t> sameSubject;
        bool matched = false;
        for (std::size_t i = 0; i < contents.items.size() && !matched; ++i) {
            const StoreItem& actual = contents.items[i];
            if (used[i] || actual.folder != name) continue;
            if (SameItem(expected, actual)) {
                used[i] = matched = true;
            } else if (!sameSubject && actual.subject == expected.subject) {
                sameSubject = i;
            }
        }
        if (matched) {
            ++result.matched;
        } else if (sameSubject) {
            used[*sameSubject] = true;
            result.differences.push_back(name + ": expected " + Describe(expected) + "\n   engine " + Describe(contents.items[*sameSubject]));
        } else {
            result.differences.push_back(name + ": not found " + Describe(expected));
        }
    }
}

MatchResult Match(const json& expected, StoreContents& contents) {
    MatchResult result;
    std::vector<bool> used(contents.items.size(), false);
    for (const json& folder : expected["folders"]) {
        const std::string name = LastComponent(folder["path"]);
        if (!name.empty()) {
            ++result.folders;
            if (std::find(contents.folders.begin(), contents.folders.end(), name) != contents.folders.end()) ++result.foldersFound;
        }
        MatchFolder(folder, contents, used, result);
    }
    return result;
}

std::vector<CorpusStore> AllStores() {
    std::vector<CorpusStore> stores;
    for (const char* name : {"ansi-basic", "ansi-small-backup", "ansi-many-items", "unicode-plain", "unicode-permute",
                             "unicode-cyclic", "unicode-flags", "unicode-nested-folders", "unicode-to-cc",
                             "unicode-personal", "unicode-contacts", "unicode-password-embedded", "unicode-submessage",
                             "unicode-basic", "unicode-archive", "unicode-empty-2007", "unicode-outlook",
                             "unicode-backup", "unicode-user1", "unicode-password", "unicode-distlist"}) {
        stores.push_back({std::string(name) + ".pst", name});
    }
    for (const char* name : {"unicode-basic", "unicode-contacts", "unicode-cyclic", "unicode-distlist", "unicode-flags",
                             "unicode-nested-folders", "unicode-personal", "unicode-plain", "unicode-submessage",
                             "unicode-to-cc"}) {
        stores.push_back({std::string("ost4k/") + name + ".ost", name});
        stores.push_back({std::string("ost4k/") + name + ".plain.ost", name});
    }
    return stores;
}

class CorpusContexts : public ::testing::TestWithParam<CorpusStore> {};

TEST_P(CorpusContexts, AgreeWithIndependentReader) {
    VELMORA_REQUIRE_CORPUS();
    const CorpusStore& store = GetParam();
    std::ifstream file(CorpusFile("expected/" + store.expected + ".json"));
    ASSERT_TRUE(file) << store.expected;
    const json expected = json::parse(file);
    StoreContents contents = ReadStoreContents(CorpusFile(store.file));
    const MatchResult result = Match(expected, contents);

    std::cout << "[ corpus   ] " << store.file << ": items " << result.matched << "/" << result.items << ", folders "
              << result.foldersFound << "/" << result.folders << ", engine messages " << contents.items.size() << "\n";
    for (const std::string& difference : result.differences) ADD_FAILURE() << difference;
    EXPECT_EQ(result.foldersFound, result.folders);
}

std::string StoreName(const ::testing::TestParamInfo<CorpusStore>& info) {
    std::string name = info.param.file;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Stores, CorpusContexts, ::testing::ValuesIn(AllStores()), StoreName);

}  // namespace
}  // namespace velmora::test
