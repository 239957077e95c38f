// An attachment written out as a file of its own, for the user to open, save
// or drag elsewhere. Everything that names the file comes from the sender:
// the name and extension are cut down to harmless ones, and the file is the
// user's alone (mode 0600, never executable). An attached message is written
// whole, in Internet message form, as the mail conversion writes a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// Longest extension kept; a longer one is no file type anybody registers.
inline constexpr std::size_t kMaxExtensionLength = 16;
inline constexpr char16_t kMessageFileExtension[] = u"eml";
inline constexpr char16_t kUnnamedMessage[] = u"message";

// `extension` when it is 1 to kMaxExtensionLength ASCII letters and digits,
// else empty: a file gets no extension rather than a strange one.
std::u16string SafeExtension(std::u16string_view extension);

// The file name the attachment is written under: its safe name, ending in its
// safe extension; an attached message's subject with ".eml". An 8-bit name is
// read in `codePage`, its message's, as the strip shows it.
std::u16string AttachmentCopyName(const AttachmentRow* attachment, std::uint32_t codePage);

enum class CopyResult {
    kWritten,
    kNoData,             // a link, an empty attachment or a stored object
    kUnreadableMessage,  // an attached message the store's data does not yield
    kExists,             // the target is there and was not to be replaced
    kWriteFailed,
};

// Writes the attachment to `target`. A new file is made with mode 0600; an
// existing one is replaced only when `replace` is set. Nothing is left at
// `target` when there is nothing to write or the writing fails.
CopyResult WriteAttachmentCopy(const AttachmentRow* attachment, const std::filesystem::path& target,
                               bool replace = false);

}  // namespace velmora
