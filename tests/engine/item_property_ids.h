// Property ids the corpus tests read to describe a message, its recipients and
// its attachments.
#pragma once

#include <cstdint>

namespace velmora::test::item_props {

constexpr std::uint16_t kSubject = 0x0037;
constexpr std::uint16_t kSenderName = 0x0C1A;
constexpr std::uint16_t kSentRepresentingName = 0x0042;
constexpr std::uint16_t kDisplayName = 0x3001;
constexpr std::uint16_t kEmailAddress = 0x3003;
constexpr std::uint16_t kRecipientType = 0x0C15;
constexpr std::uint16_t kAttachLongFilename = 0x3707;
constexpr std::uint16_t kAttachFilename = 0x3704;
constexpr std::uint16_t kAttachSize = 0x0E20;
constexpr std::uint16_t kAttachDataBin = 0x3701;
constexpr std::uint16_t kAttachMethod = 0x3705;
constexpr std::uint32_t kAttachEmbeddedMessage = 5;

}  // namespace velmora::test::item_props
