// Paths as the window system shows them. Its file dialog decodes file names
// lossily, each byte that is no UTF-8 becoming U+FFFD, so a Latin-1 name from
// an old disk comes back as text that no longer names its file. This finds
// the file again, in the carrying form of path_text.h.
#pragma once

#include <string>
#include <string_view>

namespace common {

// `shown` when it names something or holds no U+FFFD. Otherwise the path
// whose components, decoded the same lossy way, read as those of `shown`:
// each component that names nothing is looked up among the entries of the
// folder before it. `shown` unchanged when an entry matches none, or several.
std::u16string FindShownPath(std::u16string_view shown);

}  // namespace common
