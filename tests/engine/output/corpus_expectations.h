// What an independent reader reports for each real store (expected/NAME.json),
// and how the engine's view of an item is matched against it. Shared by the
// tests that read the corpus through the storage layers and through the walks.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/engine/output/corpus_items.h"

namespace velmora::test {

struct CorpusStore {
    std::string file;      // below the corpus folder
    std::string expected;  // NAME of expected/NAME.json
};

// Every store of the corpus, and each 4K twin paired with its source's expectations.
std::vector<CorpusStore> AllCorpusStores();

nlohmann::json LoadExpected(const std::string& name);

std::string LastComponent(const std::string& path);
std::string Describe(const StoreItem& item);

// The independent reader shows a distribution list, which is an item, as a
// folder of its members; the engine has no folder node for it.
bool IsFolderPath(const std::string& path);

// An item as the independent reader reports it, and which of its fields it
// reports: for contacts, appointments and the like only the attachments.
struct ExpectedItem {
    StoreItem item;
    bool messageFields = true;
    bool attachmentsReported = true;
};

ExpectedItem ExpectedItemFromJson(const std::string& store, const nlohmann::json& item);
bool SameItem(const ExpectedItem& expected, const StoreItem& actual);

struct MatchResult {
    std::size_t items = 0, matched = 0;
    std::size_t folders = 0, foldersFound = 0;
    std::vector<std::string> differences;
};

// Pairs each expected item of one folder with an unused candidate for which
// `inFolder` holds: the first that agrees in every field, else the first with
// the same subject (reported as a difference). Item order is not compared: the
// independent reader lists a folder's contents table, the engine its nodes.
void MatchItems(const std::string& store, const std::string& folderLabel,
                const nlohmann::json& items, const std::vector<StoreItem>& candidates,
                const std::function<bool(const StoreItem&)>& inFolder, std::vector<bool>& used,
                MatchResult& result);

}  // namespace velmora::test
