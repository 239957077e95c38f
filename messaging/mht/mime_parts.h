// The MIME parts and headers of an MHTML file.
#pragma once

#include <string>

#include <gmime/gmime.h>

#include "messaging/component/message_content.h"
#include "messaging/mime/mime_pieces.h"

namespace velmora::messaging {

// A text/html part with the page, quoted-printable. The caller owns it.
GMimePart* NewPagePart(const std::string& html, const std::string& charset);

// An inline part with the attachment's data, base64, its content id as both
// Content-ID and a cid: Content-Location. The caller owns it.
GMimePart* NewResourcePart(const MessageAttachment& attachment, const std::string& contentId);

// An attachment part with the message an embedded-message attachment holds,
// as a message/rfc822 part a mail reader opens as a message; null when its
// data does not read as a message. The caller owns it.
GMimeMessagePart* NewAttachedMessagePart(const MessageAttachment& attachment);

// From, To, Cc, Subject and Date of the message; non-ASCII text is encoded by GMime on writing.
void SetMessageHeaders(GMimeMessage* message, const MessageContent& content);

}  // namespace velmora::messaging
