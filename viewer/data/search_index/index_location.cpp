#include "viewer/data/search_index/index_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "viewer/data/work_folder/work_folder.h"

namespace velmora::search {
namespace {

// Bumped whenever what the index holds changes, so an older index is rebuilt.
constexpr char kIndexLayout[] = "velmora-search-1";

// A folder only this user can enter: made when missing, closed when an earlier
// run left it open, refused when it is a link or someone else's.
bool MakePrivateFolder(const std::filesystem::path& folder, std::string& error) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create the index folder " + folder.string() + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid()) {
        error = "cannot use " + folder.string() +
                " for search indexes: not a folder of this user's own";
        return false;
    }
    if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
        error = "cannot make " + folder.string() + " private: " + std::strerror(errno);
        return false;
    }
    return true;
}

// FNV-1a: stable across builds and runs, which std::hash is not.
std::uint64_t PathHash(const std::string& path) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : path) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

}  // namespace

std::optional<StoreStamp> ReadStoreStamp(const std::filesystem::path& store, std::string& error) {
    std::error_code failure;
    const std::filesystem::path canonical = std::filesystem::canonical(store, failure);
    struct stat info {};
    if (failure || ::stat(canonical.c_str(), &info) != 0) {
        error = "cannot open " + store.string() + ": " +
                (failure ? failure.message() : std::string(std::strerror(errno)));
        return std::nullopt;
    }
    StoreStamp stamp;
    stamp.path = canonical.string();
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return stamp;
}

std::string StampText(const StoreStamp& stamp) {
    return std::string(kIndexLayout) + " " + std::to_string(stamp.size) + " " +
           std::to_string(stamp.modified) + " " + stamp.path;
}

std::optional<std::filesystem::path> SearchIndexRoot(std::string& error) {
    const std::optional<std::filesystem::path> application = ApplicationCacheFolder(error);
    if (!application) return std::nullopt;
    const std::filesystem::path root = *application / "index";
    if (!MakePrivateFolder(root, error)) return std::nullopt;
    return root;
}

std::optional<std::filesystem::path> StoreIndexFolder(const std::filesystem::path& root,
                                                      const StoreStamp& stamp, std::string& error) {
    char name[17] = {};
    std::snprintf(name, sizeof name, "%016llx",
                  static_cast<unsigned long long>(PathHash(stamp.path)));
    const std::filesystem::path folder = root / name;
    if (!MakePrivateFolder(folder, error)) return std::nullopt;
    return folder;
}

bool ForgetSearchIndexes(std::string& error) {
    const std::optional<std::filesystem::path> root = SearchIndexRoot(error);
    if (!root) return false;
    std::error_code failure;
    for (auto it = std::filesystem::directory_iterator(*root, failure);
         !failure && it != std::filesystem::directory_iterator(); it.increment(failure)) {
        std::filesystem::remove_all(it->path(), failure);
    }
    if (failure)
        error = "cannot remove the search indexes in " + root->string() + ": " + failure.message();
    return !failure;
}

}  // namespace velmora::search
