// A message of the store in Internet message form, built with the MIME
// library: the headers (see message_headers.h), the bodies as stored (see
// message_body.h), and every attachment with its long name and exact bytes:
// pictures the HTML shows by content id in multipart/related, attached
// messages as message/rfc822 parts, recursively, as deep as the view renders
// them.
#pragma once

#include <string>

#include <gmime/gmime.h>

#include "engine/interface/corvex_engine.h"
#include "viewer/data/mail_writer/message_file.h"

namespace velmora {

// `messageId` is the Message-ID when the message keeps none of its own (see
// StableMessageId); attached messages get it with their position appended.
// `depth` counts the messages this one is attached to. The caller owns the result.
GMimeMessage* NewMimeMessage(const MailEntry& mail, const std::string& messageId,
                             const MailWriteOptions& options, int depth = 0);

enum class LineEnds { kCrLf, kLf };

// The whole message as written, with the given line ends.
std::string MessageBytes(GMimeMessage* message, LineEnds lineEnds);

// `mail` as one .eml file holds it: NewMimeMessage written with CRLF line ends.
std::string EmlText(const MailEntry& mail, const std::string& messageId,
                    const MailWriteOptions& options = {});

}  // namespace velmora
