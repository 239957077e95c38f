#include "engine/output/files/value_file.h"

#include "common/path_text.h"
#include "engine/output/files/binary_file.h"

namespace corvex {

ValueFileLedger::ValueFileLedger(const std::filesystem::path& tempRoot)
    : folder_(tempRoot / common::PathFromUtf16(kValueFileFolder)),
      prefix_(common::PathToUtf16(folder_) + common::kPathSeparator) {}

ValueFileLedger::~ValueFileLedger() {
    for (const common::UuidBytes& name : held_) {
        std::error_code ignored;
        std::filesystem::remove(folder_ / common::PathFromUtf16(common::UuidText(name)), ignored);
    }
}

std::filesystem::path ValueFileLedger::Write(std::span<const std::uint8_t> bytes) {
    const common::UuidBytes name = common::NewUuidBytes();
    const std::filesystem::path path = folder_ / common::PathFromUtf16(common::UuidText(name));
    // Held before writing: a file half written before a failure goes too.
    {
        const std::lock_guard lock(mutex_);
        held_.insert(name);
    }
    WriteBinaryFile(path, bytes);
    return path;
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
    }
    std::error_code ignored;
    std::filesystem::remove(folder_ / common::PathFromUtf16(nameText), ignored);
}

}  // namespace corvex
