#include "engine/output/files/value_file.h"

#include <unistd.h>

#include <cstdio>

#include "common/path_text.h"
#include "engine/output/files/binary_file.h"

namespace corvex {

ValueFileLedger::ValueFileLedger(const std::filesystem::path& tempRoot)
    : folder_(tempRoot / common::PathFromUtf16(kValueFileFolder)),
      prefix_(common::PathToUtf16(folder_) + common::kPathSeparator) {}

ValueFileLedger::~ValueFileLedger() {
    DropSpares();
    for (const common::UuidBytes& name : held_) {
        std::error_code ignored;
        std::filesystem::remove(PathOf(name), ignored);
    }
}

std::filesystem::path ValueFileLedger::PathOf(const common::UuidBytes& name) const {
    return folder_ / common::PathFromUtf16(common::UuidText(name));
}

std::filesystem::path ValueFileLedger::Write(std::span<const std::uint8_t> bytes) {
    const common::UuidBytes name = common::NewUuidBytes();
    const std::filesystem::path path = PathOf(name);
    // Held before writing: a file half written before a failure goes too.
    {
        const std::lock_guard lock(mutex_);
        held_.insert(name);
    }
    if (TakeSpareAs(path)) {
        if (OverwriteBinaryFile(path, bytes)) return path;
        // Whatever the spare has become (a link, say), the value is not written through it.
        ::unlink(path.c_str());
    }
    WriteBinaryFile(path, bytes);
    return path;
}

bool ValueFileLedger::TakeSpareAs(const std::filesystem::path& path) {
    common::UuidBytes spare;
    {
        const std::lock_guard lock(mutex_);
        if (spares_.empty()) return false;
        // Oldest first: enumerating a folder again frees the files in the
        // order it then writes them, so a file mostly gets a value of its size.
        spare = spares_.front();
        spares_.pop_front();
    }
    return ::rename(PathOf(spare).c_str(), path.c_str()) == 0;
}

void ValueFileLedger::DropSpares() {
    std::deque<common::UuidBytes> spares;
    {
        const std::lock_guard lock(mutex_);
        spares.swap(spares_);
    }
    for (const common::UuidBytes& name : spares) ::unlink(PathOf(name).c_str());
}

std::size_t ValueFileLedger::Held() const {
    const std::lock_guard lock(mutex_);
    return held_.size();
}

void ValueFileLedger::Remove(std::u16string_view path) {
    if (!path.starts_with(prefix_)) return;
    const std::u16string_view nameText = path.substr(prefix_.size());
    const std::optional<common::UuidBytes> name = common::UuidFromText(nameText);
    if (!name) return;
    {
        const std::lock_guard lock(mutex_);
        if (held_.erase(*name) == 0) return;
        if (reuseScopes_ > 0) {
            spares_.push_back(*name);
            return;
        }
    }
    ::unlink(PathOf(*name).c_str());
}

ValueFileLedger::ReuseScope::ReuseScope(ValueFileLedger& ledger) : ledger_(ledger) {
    const std::lock_guard lock(ledger_.mutex_);
    ++ledger_.reuseScopes_;
}

ValueFileLedger::ReuseScope::~ReuseScope() {
    const std::lock_guard lock(ledger_.mutex_);
    --ledger_.reuseScopes_;
}

}  // namespace corvex
