// Attachment names as file names inside one attachment folder. A stored name
// is whatever the sender wrote, so it may hold folder parts, "..", control
// characters or hundreds of bytes; what reaches the file system is a single
// harmless name component, and the original stays the display name.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr char16_t kUnnamedAttachment[] = u"attachment";
// Longest file name written, in UTF-8 bytes; file systems allow 255.
inline constexpr std::size_t kMaxAttachmentNameBytes = 200;

// The last component of `name` (after any "/" or "\"), with control and
// reserved characters replaced by "_", no leading dot, no trailing dot or
// space, no reserved device name, at most kMaxAttachmentNameBytes bytes with
// the extension kept; kUnnamedAttachment when nothing is left.
std::u16string SafeAttachmentFileName(std::u16string_view name);

// Safe names that stay distinct within one folder: a name taken before gets
// " (2)", " (3)", ... before its extension.
class AttachmentFileNames {
  public:
    std::u16string Take(std::u16string_view name);

  private:
    std::set<std::u16string> taken_;  // compared case-blind, as some file systems do
};

}  // namespace velmora
