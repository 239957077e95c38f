// Out-of-line property values handed to the viewer as files: each value gets
// a file of its own under the temporary root, named by a fresh UUID.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "common/uuid_text.h"
#include "engine/interface/corvex_engine.h"

namespace corvex {

inline constexpr char16_t kValueFileFolder[] = u"" CORVEX_VALUE_FILE_FOLDER;

// The value files one session wrote. A file lives as long as the record that
// names it: freeing the record removes it (or, while a folder is read again,
// hands it on to a new record; see ReuseScope), and the ledger removes
// whatever is left when it goes with its session. Several sessions (and the viewer's own
// temporary files) share one folder, so only a name this ledger wrote is ever
// removed, and a path is taken as one only when it lies directly in the folder.
// A message enumeration writes from two threads at once, so every operation
// holds the ledger's lock while it changes the set of names.
class ValueFileLedger {
  public:
    explicit ValueFileLedger(const std::filesystem::path& tempRoot);
    ~ValueFileLedger();
    ValueFileLedger(const ValueFileLedger&) = delete;
    ValueFileLedger& operator=(const ValueFileLedger&) = delete;

    // Writes `bytes` to TempRoot/GUIDTempFiles/<uuid> (no extension) and returns
    // that path. The folder is made by the session's start-up, not here. If the
    // file cannot be written the path is still returned: the viewer then finds
    // a missing or empty file, which it treats as an empty value.
    std::filesystem::path Write(std::span<const std::uint8_t> bytes);

    // Removes the file at `path` when it is one this ledger wrote and still
    // holds; any other path (another folder, another session's file, a name of
    // another form) is left alone. One lookup and one unlink, no folder scan.
    void Remove(std::u16string_view path);

    // How many written files the ledger still holds.
    std::size_t Held() const;

    // While one lives, a removed file is kept as a spare instead of being
    // unlinked, and the next value written takes it over: renamed to its new
    // name and overwritten in place. Enumerating a large folder again frees
    // as many files as it writes, and on a disk that avoids reusing freshly
    // freed inodes, unlinking 250,000 files and creating as many costs many
    // times more than renaming them.
    class ReuseScope {
      public:
        explicit ReuseScope(ValueFileLedger& ledger);
        ~ReuseScope();
        ReuseScope(const ReuseScope&) = delete;
        ReuseScope& operator=(const ReuseScope&) = delete;

      private:
        ValueFileLedger& ledger_;
    };

    // Unlinks the spares no write has taken. Spares wait only for a read that
    // is under way (the viewer empties a list with one call and reads it in
    // batches after): every enumeration that builds records drops what is
    // left when it ends, a batched read when it reaches the folder's end, and
    // the ledger when its session goes. There are never more files than the
    // most records held at once have named.
    void DropSpares();

  private:
    struct UuidHash {
        std::size_t operator()(const common::UuidBytes& bytes) const {
            std::uint64_t word = 0;  // the bytes are random already
            std::memcpy(&word, bytes.data(), sizeof word);
            return static_cast<std::size_t>(word);
        }
    };

    std::filesystem::path PathOf(const common::UuidBytes& name) const;
    // A spare renamed to `path`, or false when there is none or it has gone.
    bool TakeSpareAs(const std::filesystem::path& path);

    std::filesystem::path folder_;
    std::u16string prefix_;  // the folder's path text with its closing separator
    mutable std::mutex mutex_;
    std::unordered_set<common::UuidBytes, UuidHash> held_;
    int reuseScopes_ = 0;                   // open ReuseScopes
    std::deque<common::UuidBytes> spares_;  // removed files kept for the next writes, oldest first
};

}  // namespace corvex
