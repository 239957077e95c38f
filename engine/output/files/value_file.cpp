#include "engine/output/files/value_file.h"

#include <unistd.h>

#include <algorithm>
#include <optional>

#include "common/path_text.h"
#include "engine/output/files/binary_file.h"

namespace corvex {

std::u16string NamedValueFilePath(const ExportedProp& prop) {
    std::u16string path;
    if (prop.bytes == nullptr) return path;
    path.reserve(prop.byteCount / 2);
    for (std::uint32_t i = 0; i + 1 < prop.byteCount; i += 2) {
        const auto unit = static_cast<char16_t>(prop.bytes[i] | prop.bytes[i + 1] << 8);
        if (unit == u'\0') break;
        path += unit;
    }
    return path;
}

ValueFileLedger::ValueFileLedger(const std::filesystem::path& tempRoot)
    : folder_(tempRoot / common::PathFromUtf16(kValueFileFolder)),
      prefix_(common::PathToUtf16(folder_) + common::kPathSeparator) {}

ValueFileLedger::~ValueFileLedger() {
    held_.ForEach([this](const common::UuidBytes& name, const Named& named) {
        if (named.written) ::unlink(PathOf(name).c_str());
    });
}

std::filesystem::path ValueFileLedger::PathOf(const common::UuidBytes& name) const {
    return folder_ / common::PathFromUtf16(common::UuidText(name));
}

std::optional<common::UuidBytes> ValueFileLedger::NameIn(std::u16string_view path) const {
    if (!path.starts_with(prefix_)) return std::nullopt;
    return common::UuidFromText(path.substr(prefix_.size()));
}

// Built from the prefix in the viewer's text, as NameIn reads it back: an
// enumeration names a value for every body and attachment it lists, and
// going through the file system's path and back cost more than the naming.
std::u16string ValueFileLedger::Name(const ValueLocation& where) {
    const common::UuidBytes name = common::NewUuidBytes();
    {
        const std::lock_guard lock(mutex_);
        held_.Put(name, Named{where, false});
    }
    return prefix_ + common::UuidText(name);
}

ValueFileLedger::EnsureResult ValueFileLedger::Ensure(std::u16string_view path,
                                                      const ValueReader& read) {
    const std::optional<common::UuidBytes> name = NameIn(path);
    if (!name) return EnsureResult::kUnknown;
    const std::lock_guard writing(writing_);
    ValueLocation where;
    {
        const std::lock_guard lock(mutex_);
        const Named* found = held_.Find(*name);
        if (found == nullptr) return EnsureResult::kUnknown;
        if (found->written) return EnsureResult::kReady;
        where = found->where;
    }
    if (!WriteNamed(*name, where, read)) return EnsureResult::kFailed;
    const std::lock_guard lock(mutex_);
    Named* found = held_.Find(*name);
    if (found == nullptr) {
        // The record was freed while its value was being written: its file goes too.
        ::unlink(PathOf(*name).c_str());
        return EnsureResult::kUnknown;
    }
    found->written = true;
    return EnsureResult::kReady;
}

bool ValueFileLedger::WriteNamed(const common::UuidBytes& name, const ValueLocation& where,
                                 const ValueReader& read) {
    const std::filesystem::path path = PathOf(name);
    switch (WriteNewBinaryFile(path, read(where))) {
        case NewFileResult::kWritten:
            return true;
        case NewFileResult::kTaken:
            // Something else sits under a name this ledger gave: it is not ours to write or remove.
            return false;
        case NewFileResult::kFailed:
            // Whatever was created under the fresh name is a partial file of ours (a full disk).
            ::unlink(path.c_str());
            return false;
    }
    return false;
}

void ValueFileLedger::Remove(std::u16string_view path) {
    const std::optional<common::UuidBytes> name = NameIn(path);
    if (!name) return;
    {
        const std::lock_guard lock(mutex_);
        const Named* found = held_.Find(*name);
        if (found == nullptr) return;
        const bool written = found->written;
        held_.Erase(*name);
        if (!written) return;
    }
    ::unlink(PathOf(*name).c_str());
}

void ValueFileLedger::ForgetUnwritten() {
    const std::lock_guard lock(mutex_);
    held_.KeepIf([](const Named& named) { return named.written; });
}

std::size_t ValueFileLedger::Held() const {
    const std::lock_guard lock(mutex_);
    return held_.Size();
}

std::size_t ValueFileLedger::Written() const {
    const std::lock_guard lock(mutex_);
    std::size_t written = 0;
    held_.ForEach([&written](const common::UuidBytes&, const Named& named) {
        written += named.written ? 1 : 0;
    });
    return written;
}

}  // namespace corvex
