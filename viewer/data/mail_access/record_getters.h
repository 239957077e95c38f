// What the viewer shows of folders, messages, attachments and recipients: one
// property each, empty text (or 0, false) when the property is absent. 8-bit
// texts are decoded with the message's code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/code_page_decoder.h"
#include "common/property_ids.h"
#include "engine/interface/corvex_engine.h"

namespace velmora {

namespace prop {
using namespace common::prop;
// A named property: its id comes from the store's name-to-id map, and the
// stores this viewer reads all map it here.
inline constexpr std::uint16_t kSenderAddressNamed = 0x801B;
}  // namespace prop

// ValueToText of the property, or empty text when it is absent.
std::u16string PropText(const ExportedPropMap* map, std::uint16_t id,
                        std::uint32_t codePage = common::kWindowsWesternCodePage);
// The first up to 4 value bytes as a little-endian int; 0 when absent.
std::int32_t PropInt(const ExportedPropMap* map, std::uint16_t id);

// A PT_SYSTIME value as its 100-nanosecond ticks since 1601; none when the
// property is absent or shorter than the 8 bytes a time takes.
std::optional<std::uint64_t> PropFileTime(const ExportedPropMap* map, std::uint16_t id);

// The code page of a message's 8-bit texts: PR_INTERNET_CPID, else
// PR_MESSAGE_CODE_PAGE (the first that names a known code page), else Windows-1252.
std::uint32_t MessageCodePage(const MailEntry* mail);

std::u16string FolderName(const FolderEntry* folder);
std::u16string FolderName(const RecipientRow* recipient,
                          std::uint32_t codePage = common::kWindowsWesternCodePage);
std::u16string FolderClass(const FolderEntry* folder);

std::u16string MailSubject(const MailEntry* mail);
std::u16string MailReceivedByName(const MailEntry* mail);
std::u16string MailSenderName(const MailEntry* mail);
// 0x801B, else PR_SENDER_SMTP_ADDRESS, else PR_SENT_REPRESENTING_SMTP_ADDRESS;
// the first of them that is present and holds text.
std::u16string MailSenderAddress(const MailEntry* mail);
std::u16string MailSubmitTime(const MailEntry* mail);
std::int32_t MailImportance(const MailEntry* mail);
bool MailIsRead(const MailEntry* mail);
bool MailHasAttachments(const MailEntry* mail);

// PR_ATTACH_LONG_FILENAME, or PR_DISPLAY_NAME when that is absent or empty.
std::u16string AttachmentName(const AttachmentRow* attachment,
                              std::uint32_t codePage = common::kWindowsWesternCodePage);
// PR_ATTACH_EXTENSION without its leading ".", else (when it is absent or
// empty) the long file name after its last "."; false with empty text when
// neither gives one.
bool AttachmentExtension(const AttachmentRow* attachment, std::u16string& extension,
                         std::uint32_t codePage = common::kWindowsWesternCodePage);
// PR_ATTACH_DATA_BIN when it holds the attachment's bytes, else null. An
// embedded message or an OLE object keeps an object reference (PT_OBJECT)
// under the same property id: those bytes point into the store and are
// never the attachment's data.
const ExportedProp* AttachmentData(const AttachmentRow* attachment);
// True when the attachment's data property is such an object reference.
bool AttachmentHoldsObject(const AttachmentRow* attachment);
// Messages attached to messages are rebuilt and written this deep, as deep as
// the engine reads them; records from elsewhere are held to the same bound.
inline constexpr int kMaxAttachedMessageDepth = 16;
// The message an embedded-message attachment holds, read by the engine like
// any message; null for every other attachment.
const MailEntry* AttachmentMessage(const AttachmentRow* attachment);
// Writes the attachment's data (see AttachmentData) to `target`; false when
// there is none or it cannot be written.
bool SaveAttachmentData(const AttachmentRow* attachment, const std::u16string& target);

// PR_SMTP_ADDRESS, else PR_EMAIL_ADDRESS when PR_ADDRTYPE is "SMTP".
std::u16string RecipientAddress(const RecipientRow* recipient,
                                std::uint32_t codePage = common::kWindowsWesternCodePage);
std::int32_t RecipientType(const RecipientRow* recipient);

}  // namespace velmora
