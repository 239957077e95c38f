// Out-of-line property values handed to the viewer as files: each value gets
// a file of its own under the temporary root, named by a fresh UUID, and the
// file is written when the viewer first reads it, not when the record is made.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/uuid_text.h"
#include "engine/interface/corvex_engine.h"
#include "engine/output/files/uuid_table.h"
#include "engine/storage/subnode_tree.h"

namespace corvex {

inline constexpr char16_t kValueFileFolder[] = u"" CORVEX_VALUE_FILE_FOLDER;

// Where an out-of-line value lies in the open store: the subnode `nid` of the
// tree `owner` (a node's or an attachment's subnodes). The tree belongs to the
// session's loaded store and lives as long as it does.
struct ValueLocation {
    const SubnodeTree* owner = nullptr;
    std::uint32_t nid = 0;
};

// The path a value-file prop names: its UTF-16 units up to the first NUL,
// within its byte count. The viewer holds the bytes writable, so nothing is
// assumed of their content.
std::u16string NamedValueFilePath(const ExportedProp& prop);

// The value files one session has named. Enumerating a folder names a file
// for every out-of-line value and remembers where the value lives; the file
// is written by Ensure, when the viewer is about to read it. A named value
// lives as long as the record that names it: freeing the record forgets it
// (removing its file when one was written), and the ledger removes whatever
// files are left when it goes with its session. Several sessions (and the
// viewer's own temporary files) share one folder, so only a name this ledger
// gave is ever written or removed, and a path is taken as one only when it
// lies directly in the folder. A message enumeration names values from two
// threads at once and the viewer may read from its worker, so every
// operation holds the ledger's lock while it changes the set of names.
class ValueFileLedger {
  public:
    enum class EnsureResult { kReady, kUnknown, kFailed };
    // The bytes of the value at a location, read from the store.
    using ValueReader = std::function<std::vector<std::uint8_t>(const ValueLocation&)>;

    explicit ValueFileLedger(const std::filesystem::path& tempRoot);
    ~ValueFileLedger();
    ValueFileLedger(const ValueFileLedger&) = delete;
    ValueFileLedger& operator=(const ValueFileLedger&) = delete;

    // A fresh path TempRoot/GUIDTempFiles/<uuid> (no extension) for the value
    // at `where`, as it crosses to the viewer. Nothing is written yet.
    std::u16string Name(const ValueLocation& where);

    // Writes the file `path` names from the store, unless it was written
    // already: kReady when the file is there, kUnknown when the path is no
    // value this ledger still holds (another session's, a freed record's, an
    // edited path), kFailed when it could not be written. The file is created
    // only where nothing is, not even a link, so a name taken by anything
    // else is never written through; a failed write leaves no file and may
    // be tried again.
    EnsureResult Ensure(std::u16string_view path, const ValueReader& read);

    // Forgets the value `path` names when it is one this ledger still holds,
    // and removes its file if one was written; any other path (another folder,
    // another session's file, a name of another form) is left alone. One
    // lookup and at most one unlink, no folder scan.
    void Remove(std::u16string_view path);

    // Forgets every value whose file was not written yet: the store they lie
    // in is about to be read anew, and their locations would name nothing.
    void ForgetUnwritten();

    // How many named values the ledger still holds, and how many of them have a file.
    std::size_t Held() const;
    std::size_t Written() const;

  private:
    struct Named {
        ValueLocation where;
        bool written = false;
    };

    std::filesystem::path PathOf(const common::UuidBytes& name) const;
    std::optional<common::UuidBytes> NameIn(std::u16string_view path) const;
    // Writes the file of a held value; false when it could not be written.
    bool WriteNamed(const common::UuidBytes& name, const ValueLocation& where,
                    const ValueReader& read);

    std::filesystem::path folder_;
    std::u16string prefix_;  // the folder's path text with its closing separator
    mutable std::mutex mutex_;
    // One file is written at a time, outside `mutex_`, so that naming values
    // never waits for a large value being read and written.
    std::mutex writing_;
    UuidTable<Named> held_;
};

}  // namespace corvex
