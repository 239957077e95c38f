// Building a store's search index from the records its engine session hands
// out: folder by folder, a batch of messages at a time, committed as it goes
// and recording how far it got, so that a cancelled or crashed run resumes
// where the last commit left it, and a changed store starts afresh.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "viewer/data/binding/pff_data_parser.h"
#include "viewer/data/search_index/index_location.h"

namespace velmora::search {

struct IndexProgress {
    std::uint64_t done = 0;   // messages indexed so far, this run and earlier ones
    std::uint64_t total = 0;  // messages the store's folders say they hold
};

struct IndexOutcome {
    bool complete = false;         // every folder was read to its end
    std::uint64_t indexed = 0;     // messages the index holds
    std::uint64_t unreadable = 0;  // messages that could not be read, this run and earlier
    std::string error;             // why the index could not be built; empty otherwise
};

struct IndexOptions {
    std::uint32_t batchSize = 100;     // messages read from the engine at a time
    std::uint32_t commitEvery = 1000;  // messages between two commits
    // How many messages a folder holds, for the progress total and to tell
    // messages the enumeration could not hand out; the folder's own count when
    // not set.
    std::function<std::uint64_t(FolderEntry*)> messageCount;
    std::function<void(const IndexProgress&)> progress;  // after each batch
    // Asked between batches and after each: a stop the engine's walk saw too
    // cuts a batch short, and such a batch is not the folder's end.
    std::function<bool()> stopRequested;
};

// True when the index in `indexFolder` was built to its end from the store of
// `stamp`, so that a search can use it without reading the store; false also
// when there is no such index or it cannot be read.
bool IsIndexComplete(const std::filesystem::path& indexFolder, const StoreStamp& stamp);

// Brings the index in `indexFolder` up to date with the store of `stamp`,
// read through `binding`, whose folders are enumerated already. The binding
// is the builder's own while it runs: its folders' message lists are replaced.
IndexOutcome BuildIndex(const std::filesystem::path& indexFolder, const StoreStamp& stamp,
                        CPFFDataParserInterFace& binding, const IndexOptions& options);

}  // namespace velmora::search
