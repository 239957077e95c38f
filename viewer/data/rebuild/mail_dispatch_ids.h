// The members of the messaging session, message, collections and attachments
// that the message rebuild calls, by dispatch id, and the codes it passes.
#pragma once

#include <cstdint>

#include "automation/dispatch.h"

namespace velmora::dispid {

using messaging::DispatchId;

// Session.
inline constexpr DispatchId kCreateMessageFromFile = 0x6002001E;
// Message.
inline constexpr DispatchId kSaveAs = 0x48;
inline constexpr DispatchId kImport = 0x47;
inline constexpr DispatchId kRecipients = 0x4D;
inline constexpr DispatchId kAttachments = 0x49;
inline constexpr DispatchId kAlternateRecipientAllowed = 0x07;
inline constexpr DispatchId kImportance = 0x1B;
inline constexpr DispatchId kMessageClass = 0x1E;
inline constexpr DispatchId kSensitivity = 0x36;
inline constexpr DispatchId kSubject = 0x00;
inline constexpr DispatchId kSentOn = 0x39;
inline constexpr DispatchId kReceivedByName = 0x26;
inline constexpr DispatchId kConversationTopic = 0x11;
inline constexpr DispatchId kSenderName = 0x34;
inline constexpr DispatchId kSenderEmailAddress = 0x32;
inline constexpr DispatchId kReceivedTime = 0x29;
inline constexpr DispatchId kBody = 0x0B;
inline constexpr DispatchId kBodyFormat = 0x0C;
// Recipients collection.
inline constexpr DispatchId kAddRecipient = 0x03;
// Attachments collection.
inline constexpr DispatchId kAddAttachment = 0x65;
// Attachment.
inline constexpr DispatchId kAttachMimeTag = 0x6003001C;
inline constexpr DispatchId kAttachDisplayName = 0x67;
inline constexpr DispatchId kAttachFileName = 0x68;
inline constexpr DispatchId kAttachContentId = 0x60030018;
inline constexpr DispatchId kAttachContentLocation = 0x6003001D;

}  // namespace velmora::dispid

namespace velmora::mailcode {

inline constexpr std::int32_t kSaveAsWebArchive = 1028;  // one MHTML file
inline constexpr std::int32_t kImportRtf = 1;
inline constexpr std::int32_t kImportHtml = 5;
inline constexpr std::int32_t kAttachByValue = 1;
inline constexpr std::int32_t kAttachEmbeddedItem = 5;
inline constexpr char16_t kMessageFileExtension[] = u".eml";
inline constexpr char16_t kAddressTypeSmtp[] = u"SMTP";
inline constexpr char16_t kMessageFileName[] = u"TempMail.msg";

}  // namespace velmora::mailcode
