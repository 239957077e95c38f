// Property ids of the objects a store builder writes, by their usual names.
#pragma once

#include <cstdint>

namespace velmora::storewriter::prop {

constexpr std::uint16_t kImportance = 0x0017;
constexpr std::uint16_t kMessageClass = 0x001A;
constexpr std::uint16_t kSubject = 0x0037;
constexpr std::uint16_t kClientSubmitTime = 0x0039;
constexpr std::uint16_t kSentRepresentingName = 0x0042;
constexpr std::uint16_t kSentRepresentingAddressType = 0x0064;
constexpr std::uint16_t kSentRepresentingEmail = 0x0065;
constexpr std::uint16_t kRecipientType = 0x0C15;
constexpr std::uint16_t kSenderName = 0x0C1A;
constexpr std::uint16_t kSenderAddressType = 0x0C1E;
constexpr std::uint16_t kSenderEmail = 0x0C1F;
constexpr std::uint16_t kDisplayCc = 0x0E03;
constexpr std::uint16_t kDisplayTo = 0x0E04;
constexpr std::uint16_t kDeliveryTime = 0x0E06;
constexpr std::uint16_t kMessageFlags = 0x0E07;
constexpr std::uint16_t kMessageSize = 0x0E08;
constexpr std::uint16_t kResponsibility = 0x0E0F;
constexpr std::uint16_t kHasAttachments = 0x0E1B;
constexpr std::uint16_t kRtfInSync = 0x0E1F;
constexpr std::uint16_t kAttachSize = 0x0E20;
constexpr std::uint16_t kRecordKey = 0x0FF9;
constexpr std::uint16_t kBody = 0x1000;
constexpr std::uint16_t kRtfCompressed = 0x1009;
constexpr std::uint16_t kBodyHtml = 0x1013;
constexpr std::uint16_t kDisplayName = 0x3001;
constexpr std::uint16_t kAddressType = 0x3002;
constexpr std::uint16_t kEmailAddress = 0x3003;
constexpr std::uint16_t kValidFolderMask = 0x35DF;
constexpr std::uint16_t kIpmSubtreeEntryId = 0x35E0;
constexpr std::uint16_t kContentCount = 0x3602;
constexpr std::uint16_t kContentUnread = 0x3603;
constexpr std::uint16_t kSubfolders = 0x360A;
constexpr std::uint16_t kContainerClass = 0x3613;
constexpr std::uint16_t kAttachDataObject = 0x3701;
constexpr std::uint16_t kAttachExtension = 0x3703;
constexpr std::uint16_t kAttachFilename = 0x3704;
constexpr std::uint16_t kAttachMethod = 0x3705;
constexpr std::uint16_t kAttachLongFilename = 0x3707;
constexpr std::uint16_t kRenderingPosition = 0x370B;
constexpr std::uint16_t kDisplayType = 0x3900;
constexpr std::uint16_t kSmtpAddress = 0x39FE;
constexpr std::uint16_t kInternetCodePage = 0x3FDE;
constexpr std::uint16_t kMessageCodePage = 0x3FFD;
constexpr std::uint16_t kRecipientDisplayName = 0x5FF6;
constexpr std::uint16_t kPstPassword = 0x67FF;

constexpr std::uint32_t kAttachByValue = 1;
constexpr std::uint32_t kAttachEmbeddedMessage = 5;

// Subnodes of a message node.
constexpr std::uint32_t kAttachmentTableNid = 0x671;
constexpr std::uint32_t kRecipientTableNid = 0x692;

}  // namespace velmora::storewriter::prop
