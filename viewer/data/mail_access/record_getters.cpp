#include "viewer/data/mail_access/record_getters.h"

#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/value_text.h"

namespace velmora {
namespace {

const ExportedPropMap* MailProps(const MailEntry* mail) {
    return mail != nullptr ? mail->props : nullptr;
}
const ExportedPropMap* ObjectProps(const AttachmentRow* row) {
    return row != nullptr ? row->object : nullptr;
}
const ExportedPropMap* RowProps(const RecipientRow* row) {
    return row != nullptr ? row->tableRow : nullptr;
}

std::uint8_t FirstByte(const ExportedPropMap* map, std::uint16_t id) {
    const ExportedProp* found = FindProp(map, id);
    if (found == nullptr) return 0;
    const std::vector<std::uint8_t> bytes = ValueBytes(*found);
    return bytes.empty() ? 0 : bytes[0];
}

bool IsTextType(std::uint16_t type) {
    return type == common::ptype::kString8 || type == common::ptype::kUnicode;
}

std::u16string MailText(const MailEntry* mail, std::uint16_t id) {
    return PropText(MailProps(mail), id, MessageCodePage(mail));
}

}  // namespace

std::u16string PropText(const ExportedPropMap* map, std::uint16_t id, std::uint32_t codePage) {
    const ExportedProp* found = FindProp(map, id);
    return found != nullptr ? ValueToText(*found, codePage) : std::u16string();
}

std::int32_t PropInt(const ExportedPropMap* map, std::uint16_t id) {
    const ExportedProp* found = FindProp(map, id);
    if (found == nullptr) return 0;
    const std::array<std::uint8_t, 4> field = LeadingBytes<4>(ValueBytes(*found));
    return static_cast<std::int32_t>(field[0] | (field[1] << 8) | (field[2] << 16) |
                                     (static_cast<std::uint32_t>(field[3]) << 24));
}

std::optional<std::uint64_t> PropFileTime(const ExportedPropMap* map, std::uint16_t id) {
    const ExportedProp* found = FindProp(map, id);
    if (found == nullptr) return std::nullopt;
    const std::vector<std::uint8_t> bytes = ValueBytes(*found);
    if (bytes.size() < 8) return std::nullopt;
    std::uint64_t ticks = 0;
    for (int i = 7; i >= 0; --i) ticks = ticks << 8 | bytes[static_cast<std::size_t>(i)];
    return ticks;
}

std::uint32_t MessageCodePage(const MailEntry* mail) {
    for (const std::uint16_t id :
         {common::prop::kInternetCodePage, common::prop::kMessageCodePage}) {
        const auto codePage = static_cast<std::uint32_t>(PropInt(MailProps(mail), id));
        if (common::CodePageDecoder::IsKnown(codePage)) return codePage;
    }
    return common::kWindowsWesternCodePage;
}

std::u16string FolderName(const FolderEntry* folder) {
    return PropText(folder != nullptr ? folder->props : nullptr, common::prop::kDisplayName);
}

std::u16string FolderName(const RecipientRow* recipient, std::uint32_t codePage) {
    return PropText(RowProps(recipient), common::prop::kDisplayName, codePage);
}

std::u16string FolderClass(const FolderEntry* folder) {
    return PropText(folder != nullptr ? folder->props : nullptr, common::prop::kContainerClass);
}

std::u16string MailSubject(const MailEntry* mail) {
    const ExportedProp* subject = FindProp(MailProps(mail), common::prop::kSubject);
    return subject != nullptr ? SubjectText(*subject, MessageCodePage(mail)) : std::u16string();
}

std::u16string MailReceivedByName(const MailEntry* mail) {
    return MailText(mail, common::prop::kReceivedByName);
}
std::u16string MailSenderName(const MailEntry* mail) {
    return MailText(mail, common::prop::kSenderName);
}

std::u16string MailSenderAddress(const MailEntry* mail) {
    for (const std::uint16_t id : {prop::kSenderAddressNamed, common::prop::kSenderSmtpAddress,
                                   common::prop::kSentRepresentingSmtpAddress}) {
        const ExportedProp* found = FindProp(MailProps(mail), id);
        // 0x801B is a named property whose meaning differs between stores: only text can be an
        // address.
        if (found != nullptr && IsTextType(found->type)) return MailText(mail, id);
    }
    // Stores written without the SMTP address properties keep an Internet sender's address only
    // as PR_SENDER_EMAIL_ADDRESS of type "SMTP"; other types hold directory names, no address.
    if (MailText(mail, common::prop::kSenderAddressType) != u"SMTP") return {};
    return MailText(mail, common::prop::kSenderEmailAddress);
}

std::u16string MailSubmitTime(const MailEntry* mail) {
    return MailText(mail, common::prop::kClientSubmitTime);
}
std::int32_t MailImportance(const MailEntry* mail) {
    return PropInt(MailProps(mail), common::prop::kImportance);
}
bool MailIsRead(const MailEntry* mail) {
    return (FirstByte(MailProps(mail), common::prop::kMessageFlags) & 0x01) != 0;
}

bool MailHasAttachments(const MailEntry* mail) {
    return (FirstByte(MailProps(mail), common::prop::kMessageFlags) & 0x10) != 0;
}

std::u16string AttachmentName(const AttachmentRow* attachment, std::uint32_t codePage) {
    std::u16string name =
        PropText(ObjectProps(attachment), common::prop::kAttachLongFilename, codePage);
    if (name.empty())
        name = PropText(ObjectProps(attachment), common::prop::kDisplayName, codePage);
    return name;
}

bool AttachmentExtension(const AttachmentRow* attachment, std::u16string& extension,
                         std::uint32_t codePage) {
    extension = PropText(ObjectProps(attachment), common::prop::kAttachExtension, codePage);
    if (extension.starts_with(u'.')) extension.erase(0, 1);
    // An extension property that is present but empty says nothing: the file name may.
    if (!extension.empty()) return true;
    const std::u16string longName =
        PropText(ObjectProps(attachment), common::prop::kAttachLongFilename, codePage);
    const std::size_t dot = longName.rfind(u'.');
    if (dot == std::u16string::npos) return false;
    extension = longName.substr(dot + 1);
    return true;
}

const ExportedProp* AttachmentData(const AttachmentRow* attachment) {
    const ExportedProp* data = FindProp(ObjectProps(attachment), common::prop::kAttachDataBin);
    return data != nullptr && data->type == common::ptype::kBinary ? data : nullptr;
}

bool AttachmentHoldsObject(const AttachmentRow* attachment) {
    const ExportedProp* data = FindProp(ObjectProps(attachment), common::prop::kAttachDataBin);
    return data != nullptr && data->type == common::ptype::kObject;
}

const MailEntry* AttachmentMessage(const AttachmentRow* attachment) {
    return attachment != nullptr ? attachment->embedded : nullptr;
}

bool SaveAttachmentData(const AttachmentRow* attachment, const std::u16string& target) {
    const ExportedProp* data = AttachmentData(attachment);
    return data != nullptr && WriteDataFile(*data, target);
}

std::u16string RecipientAddress(const RecipientRow* recipient, std::uint32_t codePage) {
    const std::u16string smtp = PropText(RowProps(recipient), common::prop::kSmtpAddress, codePage);
    if (!smtp.empty()) return smtp;
    // Many stores keep an SMTP recipient's address only as PR_EMAIL_ADDRESS with type "SMTP".
    if (PropText(RowProps(recipient), common::prop::kAddressType, codePage) != u"SMTP") return {};
    return PropText(RowProps(recipient), common::prop::kEmailAddress, codePage);
}

std::int32_t RecipientType(const RecipientRow* recipient) {
    return PropInt(RowProps(recipient), common::prop::kRecipientType);
}

}  // namespace velmora
