#include "common/shown_path.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "common/path_text.h"
#include "common/utf16_text.h"

namespace common {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kReplacement = 0xFFFD;
// Entries compared in one folder: a folder of more is searched no further.
constexpr std::size_t kMaxEntriesSearched = 1 << 17;

// A name as a lossy decoder shows it, each run of replacement characters
// made one: decoders differ in how many they make of one bad sequence.
std::u16string ShownForm(std::u16string_view text) {
    std::u16string shown;
    for (const char16_t c : text) {
        if (c == kReplacement && !shown.empty() && shown.back() == kReplacement) continue;
        shown += c;
    }
    return shown;
}

// The one entry of `folder` shown as `component`; none when no entry or
// several are.
std::optional<fs::path> FindShownEntry(const fs::path& folder, std::u16string_view component) {
    const std::u16string wanted = ShownForm(component);
    std::optional<fs::path> found;
    std::error_code error;
    std::size_t searched = 0;
    for (fs::directory_iterator entry(folder, error), end;
         !error && entry != end && searched++ < kMaxEntriesSearched; entry.increment(error)) {
        const fs::path name = entry->path().filename();
        if (ShownForm(Utf8ToUtf16(name.string())) != wanted) continue;
        if (found) return std::nullopt;
        found = name;
    }
    return found;
}

bool Names(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

}  // namespace

std::u16string FindShownPath(std::u16string_view shown) {
    const fs::path lossy = PathFromUtf16(shown);
    if (shown.find(kReplacement) == std::u16string_view::npos || Names(lossy))
        return std::u16string(shown);
    fs::path found;
    for (const fs::path& part : lossy) {
        if (Names(found / part)) {
            found /= part;
            continue;
        }
        const auto entry = FindShownEntry(found.empty() ? fs::path(".") : found, PathToUtf16(part));
        if (!entry) return std::u16string(shown);
        found /= *entry;
    }
    return PathToUtf16(found);
}

}  // namespace common
