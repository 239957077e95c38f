// A filled message saved as one MHTML file: a multipart/related message with
// CRLF line ends whose first part is the page and whose other parts are the
// attachments the page refers to by content id.
#pragma once

#include <filesystem>
#include <string>

#include "messaging/component/message_content.h"
#include "messaging/mime/mime_pieces.h"

namespace velmora::messaging {

// Writes the file; false with a reason in `error` when it cannot be written.
bool WriteMht(const MessageContent& content, const std::filesystem::path& target,
              std::string& error);

}  // namespace velmora::messaging
