// Whether a chosen path can be read as a store at all. Anything but a regular
// file is refused before it is opened: opening a pipe for reading waits for a
// writer, and a device may never end.
#pragma once

#include <string>

namespace velmora::panes {

// Empty when the path names a regular file; otherwise the reason, for the user.
std::u16string StoreFileProblem(const std::u16string& storePath);

}  // namespace velmora::panes
