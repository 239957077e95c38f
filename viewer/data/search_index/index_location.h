// Where a store's search index lives: below the user's cache folder
// (<cache home>/Velmora/index/, never beside the store, which is never
// written), one private folder per store path, and what ties an index to the
// store it was built from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velmora::search {

// What identifies the store an index was built from: a store whose size or
// modification time changed is indexed again.
struct StoreStamp {
    std::string path;  // absolute, links resolved
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // the file system's own ticks
};

// The stamp of the store file; nothing with the reason in `error` when the
// file cannot be examined.
std::optional<StoreStamp> ReadStoreStamp(const std::filesystem::path& store, std::string& error);

// The stamp as one line, how the index records it; it names the index layout too.
std::string StampText(const StoreStamp& stamp);

// <cache home>/Velmora/index, created with mode 0700 (it holds mail text); a
// folder already there is made private. Nothing with the reason in `error`
// when it cannot be made, or is not a folder of this user's own.
std::optional<std::filesystem::path> SearchIndexRoot(std::string& error);

// The folder of the store's index below `root`, named after its path; created
// with mode 0700 like the root. Nothing with the reason in `error` on failure.
std::optional<std::filesystem::path> StoreIndexFolder(const std::filesystem::path& root,
                                                      const StoreStamp& stamp, std::string& error);

// Removes every store's index below the root; false with the reason in
// `error` when something could not be removed.
bool ForgetSearchIndexes(std::string& error);

}  // namespace velmora::search
