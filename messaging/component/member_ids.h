// The component's members by dispatch id, and the codes its methods take.
#pragma once

#include <cstdint>

#include "automation/dispatch.h"

namespace velmora::messaging::member {

// Session.
inline constexpr DispatchId kCreateMessageFromFile = 0x6002001E;
// Message.
inline constexpr DispatchId kSubject = 0x00;
inline constexpr DispatchId kAlternateRecipientAllowed = 0x07;
inline constexpr DispatchId kBody = 0x0B;
inline constexpr DispatchId kBodyFormat = 0x0C;
inline constexpr DispatchId kConversationTopic = 0x11;
inline constexpr DispatchId kImportance = 0x1B;
inline constexpr DispatchId kMessageClass = 0x1E;
inline constexpr DispatchId kReceivedByName = 0x26;
inline constexpr DispatchId kReceivedTime = 0x29;
inline constexpr DispatchId kSenderEmailAddress = 0x32;
inline constexpr DispatchId kSenderName = 0x34;
inline constexpr DispatchId kSensitivity = 0x36;
inline constexpr DispatchId kSentOn = 0x39;
inline constexpr DispatchId kImport = 0x47;
inline constexpr DispatchId kSaveAs = 0x48;
inline constexpr DispatchId kAttachments = 0x49;
inline constexpr DispatchId kRecipients = 0x4D;
// Recipients collection.
inline constexpr DispatchId kAddRecipient = 0x03;
// Attachments collection.
inline constexpr DispatchId kAddAttachment = 0x65;
// Attachment.
inline constexpr DispatchId kAttachDisplayName = 0x67;
inline constexpr DispatchId kAttachFileName = 0x68;
inline constexpr DispatchId kAttachContentId = 0x60030018;
inline constexpr DispatchId kAttachMimeTag = 0x6003001C;
inline constexpr DispatchId kAttachContentLocation = 0x6003001D;

inline constexpr std::int32_t kFormatRtf = 1;
inline constexpr std::int32_t kFormatHtml = 5;
inline constexpr std::int32_t kSaveAsMht = 1028;
inline constexpr std::int32_t kAttachByValue = 1;
// The source file holds a whole message in Internet message form, attached as a message.
inline constexpr std::int32_t kAttachEmbeddedItem = 5;

}  // namespace velmora::messaging::member
