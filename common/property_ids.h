// MAPI property ids and type codes, and the other fixed numbers of a message's
// objects, as the engine, the viewer, the tools and the tests name them. Ids of
// the named range (0x8000 and up) depend on each store's name-to-id map and so
// are not here.
#pragma once

#include <cstdint>

namespace common {

namespace ptype {
inline constexpr std::uint16_t kShort = 0x0002;
inline constexpr std::uint16_t kLong = 0x0003;
inline constexpr std::uint16_t kFloat = 0x0004;
inline constexpr std::uint16_t kDouble = 0x0005;
inline constexpr std::uint16_t kCurrency = 0x0006;
inline constexpr std::uint16_t kAppTime = 0x0007;
inline constexpr std::uint16_t kBoolean = 0x000B;
inline constexpr std::uint16_t kObject = 0x000D;
inline constexpr std::uint16_t kLongLong = 0x0014;
inline constexpr std::uint16_t kString8 = 0x001E;
inline constexpr std::uint16_t kUnicode = 0x001F;
inline constexpr std::uint16_t kSysTime = 0x0040;
inline constexpr std::uint16_t kClsid = 0x0048;
inline constexpr std::uint16_t kBinary = 0x0102;
// Multi-valued forms: the single-valued code with 0x1000 set.
inline constexpr std::uint16_t kMvObject = 0x100D;
inline constexpr std::uint16_t kMvString8 = 0x101E;
inline constexpr std::uint16_t kMvUnicode = 0x101F;
inline constexpr std::uint16_t kMvClsid = 0x1048;
inline constexpr std::uint16_t kMvBinary = 0x1102;
}  // namespace ptype

namespace prop {
inline constexpr std::uint16_t kAlternateRecipientAllowed = 0x0002;
inline constexpr std::uint16_t kImportance = 0x0017;
inline constexpr std::uint16_t kMessageClass = 0x001A;
inline constexpr std::uint16_t kSensitivity = 0x0036;
inline constexpr std::uint16_t kSubject = 0x0037;
inline constexpr std::uint16_t kClientSubmitTime = 0x0039;
inline constexpr std::uint16_t kReceivedByName = 0x0040;
inline constexpr std::uint16_t kSentRepresentingName = 0x0042;
inline constexpr std::uint16_t kSentRepresentingAddressType = 0x0064;
inline constexpr std::uint16_t kSentRepresentingEmail = 0x0065;
inline constexpr std::uint16_t kConversationTopic = 0x0070;
// The Internet headers the message arrived with, as one block of text.
inline constexpr std::uint16_t kTransportMessageHeaders = 0x007D;
inline constexpr std::uint16_t kRecipientType = 0x0C15;
inline constexpr std::uint16_t kSenderName = 0x0C1A;
inline constexpr std::uint16_t kSenderAddressType = 0x0C1E;
inline constexpr std::uint16_t kSenderEmailAddress = 0x0C1F;
inline constexpr std::uint16_t kDisplayCc = 0x0E03;
inline constexpr std::uint16_t kDisplayTo = 0x0E04;
inline constexpr std::uint16_t kDeliveryTime = 0x0E06;
inline constexpr std::uint16_t kMessageFlags = 0x0E07;
inline constexpr std::uint16_t kMessageSize = 0x0E08;
inline constexpr std::uint16_t kResponsibility = 0x0E0F;
inline constexpr std::uint16_t kHasAttachments = 0x0E1B;
inline constexpr std::uint16_t kRtfInSync = 0x0E1F;
inline constexpr std::uint16_t kAttachSize = 0x0E20;
inline constexpr std::uint16_t kRecordKey = 0x0FF9;
inline constexpr std::uint16_t kBody = 0x1000;
inline constexpr std::uint16_t kRtfCompressed = 0x1009;
inline constexpr std::uint16_t kBodyHtml = 0x1013;
inline constexpr std::uint16_t kInternetMessageId = 0x1035;
inline constexpr std::uint16_t kInternetReferences = 0x1039;
inline constexpr std::uint16_t kInReplyToId = 0x1042;
inline constexpr std::uint16_t kDisplayName = 0x3001;
inline constexpr std::uint16_t kAddressType = 0x3002;
inline constexpr std::uint16_t kEmailAddress = 0x3003;
inline constexpr std::uint16_t kValidFolderMask = 0x35DF;
inline constexpr std::uint16_t kIpmSubtreeEntryId = 0x35E0;
inline constexpr std::uint16_t kContentCount = 0x3602;
inline constexpr std::uint16_t kContentUnread = 0x3603;
inline constexpr std::uint16_t kSubfolders = 0x360A;
inline constexpr std::uint16_t kContainerClass = 0x3613;
inline constexpr std::uint16_t kAttachDataBin = 0x3701;
inline constexpr std::uint16_t kAttachExtension = 0x3703;
inline constexpr std::uint16_t kAttachFilename = 0x3704;
inline constexpr std::uint16_t kAttachMethod = 0x3705;
inline constexpr std::uint16_t kAttachLongFilename = 0x3707;
inline constexpr std::uint16_t kRenderingPosition = 0x370B;
inline constexpr std::uint16_t kAttachMimeTag = 0x370E;
inline constexpr std::uint16_t kAttachContentId = 0x3712;
inline constexpr std::uint16_t kAttachContentLocation = 0x3713;
inline constexpr std::uint16_t kDisplayType = 0x3900;
inline constexpr std::uint16_t kSmtpAddress = 0x39FE;
inline constexpr std::uint16_t kInternetCodePage = 0x3FDE;
inline constexpr std::uint16_t kMessageCodePage = 0x3FFD;
inline constexpr std::uint16_t kMessageEditorFormat = 0x5909;
inline constexpr std::uint16_t kSenderSmtpAddress = 0x5D01;
inline constexpr std::uint16_t kSentRepresentingSmtpAddress = 0x5D02;
inline constexpr std::uint16_t kRecipientDisplayName = 0x5FF6;
// Every table row's id; in an attachment table it is the attachment's subnode.
inline constexpr std::uint16_t kRowId = 0x67F2;
inline constexpr std::uint16_t kRowVersion = 0x67F3;
inline constexpr std::uint16_t kPstPassword = 0x67FF;
}  // namespace prop

// Values of the attachment method.
inline constexpr std::uint32_t kAttachByValue = 1;
inline constexpr std::uint32_t kAttachEmbeddedMessage = 5;

// Subnodes of a message node that hold its tables.
inline constexpr std::uint32_t kAttachmentTableNid = 0x671;
inline constexpr std::uint32_t kRecipientTableNid = 0x692;

}  // namespace common
