// The MIME pieces every message this program writes is made of, whether a
// page the view shows or a message exported as it was: part content, address
// headers, attached messages, and the cleaning of stored names and types
// before they stand in a header.
#pragma once

#include <string>
#include <string_view>

#include <gmime/gmime.h>

namespace velmora::messaging {

// Starts the MIME library once per process; every writer calls it first. False when it
// cannot be used.
bool InitMimeLibrary();

// Makes `bytes` the part's content, copied; the part's encoding decides how it is written.
void SetPartContent(GMimePart* part, std::string_view bytes);

// Adds one address to an address list. Only an SMTP address (one with "@")
// goes in angle brackets; a recipient without one (no address, or an
// Exchange-style address) is written as its display name alone, or as the
// address it has when it has no name. Non-ASCII names are encoded on writing.
void AddMailbox(InternetAddressList* list, const std::string& name, const std::string& address);

// `message` as an attachment part of type message/rfc822, named `fileName`
// when that is not empty. The caller owns the part.
GMimeMessagePart* NewAttachedMessagePart(GMimeMessage* message, const std::string& fileName);

// The content id as it may stand in a header: no angle brackets, blanks or control characters.
std::string CleanContentId(std::string_view contentId);

// The MIME type when it is a plain "type/subtype", else application/octet-stream.
std::string CleanMimeType(std::string_view mimeTag);

// A new part of the (cleaned) MIME type.
GMimePart* NewPartOfType(std::string_view mimeTag);

}  // namespace velmora::messaging
