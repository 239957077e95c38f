// Every folder and message context of every real store, read through the heap,
// property and table context layers and compared with what an independent
// reader reports for the same store (expected/NAME.json).
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "engine/storage/engine_message.h"
#include "tests/engine/corpus_items.h"
#include "tests/support/test_paths.h"

namespace velmora::test {
namespace {

using nlohmann::json;

// Items where the independent reader reports no attachments although the store
// holds them: the attachment tables list them with their data, and a second
// reader's export of the same store writes them out with the same names and
// sizes the engine gives.
struct KnownDifference {
    const char* store;
    const char* subjectStart;
};
constexpr KnownDifference kAttachmentsNotReported[] = {
    {"unicode-password-embedded", "\u91c7\u8d2d\u6210\u672c\u4e3a\u4f55\u5c45\u9ad8\u4e0d\u4e0b\u5462\uff1f"},
    {"unicode-password-embedded", "\u7ee9\u6548\u8003\u6838\u4e0e\u85aa\u916c\u4f53\u7cfb\u7684\u6fc0\u52b1\u4e0e\u521b\u65b0"},
    {"unicode-password-embedded", "test mail("},
};

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
    for (const auto& a : item.attachments) out << a.name << " " << a.dataSize << "/" << a.attachSize << (a.embedded ? " embedded" : "") << "; ";
    out << "]";
    return out.str();
}

// An item as the independent reader reports it, and which of its fields it
// reports: for contacts, appointments and the like only the attachments.
struct ExpectedItem {
    StoreItem item;
    bool messageFields = true;
    bool attachmentsReported = true;
};

bool AttachmentsNotReported(const std::string& store, const std::string& subject) {
    for (const KnownDifference& known : kAttachmentsNotReported) {
        if (store == known.store && subject.starts_with(known.subjectStart)) return true;
    }
    return false;
}

ExpectedItem FromJson(const std::string& store, const json& item) {
    ExpectedItem out;
    out.item.subject = item.value("subject", "");
    out.item.senderName = item.value("sender_name", "");
    for (const json& r : item["recipients"]) out.item.recipients.push_back({r["name"], r["email"], r["type"]});
    for (const json& a : item["attachments"]) {
        StoreAttachment attachment;
        attachment.name = a.value("name", "");
        attachment.dataSize = a.value("size", 0u);
        attachment.embedded = a.value("embedded", false);
        out.item.attachments.push_back(attachment);
    }
    out.messageFields = item.value("dir", "").starts_with("Message");
    out.attachmentsReported = !AttachmentsNotReported(store, out.item.subject);
    return out;
}

bool SameRecipient(const StoreRecipient& expected, const StoreRecipient& actual) {
    return expected.name == actual.name && expected.type == actual.type &&
           (expected.address.empty() || expected.address == actual.address);
}

// The independent reader reports an attachment's size as the bytes of its data.
// It names an attached message after its position ("Attachment00001") and gives
// it no size, so only its kind is compared.
bool SameAttachment(const StoreAttachment& expected, const StoreAttachment& actual) {
    if (expected.embedded) return actual.embedded;
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

// The independent reader takes the sender from PR_SENDER_NAME alone; the engine
// falls back to PR_SENT_REPRESENTING_NAME, where that reader reports nothing.
bool SameSender(const std::string& expected, const StoreItem& actual) {
    return expected == actual.senderName || (expected.empty() && actual.senderIsRepresenting);
}

bool SameItem(const ExpectedItem& expected, const StoreItem& actual) {
    const StoreItem& e = expected.item;
    if (expected.messageFields &&
        (e.subject != actual.subject || !SameSender(e.senderName, actual) ||
         !SameList(e.recipients, actual.recipients, SameRecipient))) {
        return false;
    }
    return !expected.attachmentsReported || SameList(e.attachments, actual.attachments, SameAttachment);
}

struct MatchResult {
    std::size_t items = 0, matched = 0;
    std::size_t folders = 0, foldersFound = 0;
    std::vector<std::string> differences;
};

// Pairs each expected item with an unused engine item of the same folder: the
// first that agrees in every field, else the first with the same subject.
void MatchFolder(const std::string& store, const json& folder, StoreContents& contents, std::vector<bool>& used,
                 MatchResult& result) {
    const std::string name = LastComponent(folder["path"]);
    for (const json& item : folder["items"]) {
        const ExpectedItem expected = FromJson(store, item);
        ++result.items;
        std::optional<std::size_t> sameSubject;
        bool matched = false;
        for (std::size_t i = 0; i < contents.items.size() && !matched; ++i) {
            const StoreItem& actual = contents.items[i];
            if (used[i] || actual.folder != name) continue;
            if (SameItem(expected, actual)) {
                used[i] = matched = true;
            } else if (!sameSubject && actual.subject == expected.item.subject) {
                sameSubject = i;
            }
        }
        if (matched) {
            ++result.matched;
        } else if (sameSubject) {
            used[*sameSubject] = true;
            result.differences.push_back(name + ": expected " + Describe(expected.item) + "\n   engine " + Describe(contents.items[*sameSubject]));
        } else {
            result.differences.push_back(name + ": not found " + Describe(expected.item));
        }
    }
}

// The independent reader shows a distribution list, which is an item, as a
// folder of its members; the engine has no folder node for it.
bool IsFolderPath(const std::string& name) { return !name.empty() && !name.starts_with("DistributionList"); }

MatchResult Match(const std::string& store, const json& expected, StoreContents& contents) {
    MatchResult result;
    std::vector<bool> used(contents.items.size(), false);
    for (const json& folder : expected["folders"]) {
        const std::string name = LastComponent(folder["path"]);
        if (IsFolderPath(name)) {
            ++result.folders;
            if (std::find(contents.folders.begin(), contents.folders.end(), name) != contents.folders.end()) ++result.foldersFound;
        }
        MatchFolder(store, folder, contents, used, result);
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
    corvex::ResetRecordedEngineMessages();
    StoreContents contents = ReadStoreContents(CorpusFile(store.file));
    EXPECT_EQ(corvex::RecordedEngineMessages().count, 0u) << "every HID of a real store names an allocation";
    const MatchResult result = Match(store.expected, expected, contents);

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
