#include "viewer/data/mail_writer/message_headers.h"

#include <strings.h>

#include <vector>

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "messaging/mime/gmime_ref.h"
#include "messaging/mime/mime_pieces.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_access/value_text.h"
#include "viewer/data/mail_writer/header_text.h"

namespace velmora {
namespace {

using messaging::GRef;

struct Mailbox {
    std::string name;
    std::string address;
    bool Empty() const { return name.empty() && address.empty(); }
};

std::string Utf8Prop(const MailEntry& mail, std::uint16_t id) {
    return HeaderText(PropText(mail.props, id, MessageCodePage(&mail)));
}

// The address of a sender or representing field: its SMTP address, else its
// e-mail address when that is of type SMTP.
std::string SmtpAddress(const MailEntry& mail, std::uint16_t smtpId, std::uint16_t typeId,
                        std::uint16_t emailId) {
    std::string address = Utf8Prop(mail, smtpId);
    if (address.empty() && strcasecmp(Utf8Prop(mail, typeId).c_str(), "SMTP") == 0)
        address = Utf8Prop(mail, emailId);
    return address;
}

Mailbox SenderMailbox(const MailEntry& mail) {
    std::string address = HeaderText(MailSenderAddress(&mail));
    if (address.empty())
        address = SmtpAddress(mail, prop::kSenderSmtpAddress, prop::kSenderAddressType,
                              prop::kSenderEmailAddress);
    return {HeaderText(MailSenderName(&mail)), address};
}

// Who the message was sent for, when the store says so.
Mailbox RepresentedMailbox(const MailEntry& mail) {
    return {Utf8Prop(mail, prop::kSentRepresentingName),
            SmtpAddress(mail, prop::kSentRepresentingSmtpAddress,
                        prop::kSentRepresentingAddressType, prop::kSentRepresentingEmail)};
}

void AddTo(GMimeMessage* message, GMimeAddressType type, const Mailbox& mailbox) {
    messaging::AddMailbox(g_mime_message_get_addresses(message, type), mailbox.name,
                          mailbox.address);
}

// From is whom the message is for; Sender is who sent it, when that is someone else.
void SetOriginators(GMimeMessage* message, const MailEntry& mail) {
    const Mailbox sender = SenderMailbox(mail);
    const Mailbox represented = RepresentedMailbox(mail);
    if (represented.Empty()) return AddTo(message, GMIME_ADDRESS_TYPE_FROM, sender);
    AddTo(message, GMIME_ADDRESS_TYPE_FROM, represented);
    const bool same = strcasecmp(sender.address.c_str(), represented.address.c_str()) == 0 &&
                      (sender.address.empty() ? sender.name == represented.name : true);
    if (!same) AddTo(message, GMIME_ADDRESS_TYPE_SENDER, sender);
}

void SetRecipients(GMimeMessage* message, const MailEntry& mail) {
    const std::uint32_t codePage = MessageCodePage(&mail);
    for (std::uint32_t i = 0; mail.recipients != nullptr && i < mail.recipients->count; ++i) {
        const RecipientRow* row = mail.recipients->items[i];
        if (row == nullptr) continue;
        const Mailbox mailbox{HeaderText(FolderName(row, codePage)),
                              HeaderText(RecipientAddress(row, codePage))};
        switch (RecipientType(row)) {
            case 1:
                AddTo(message, GMIME_ADDRESS_TYPE_TO, mailbox);
                break;
            case 2:
                AddTo(message, GMIME_ADDRESS_TYPE_CC, mailbox);
                break;
            case 3:
                AddTo(message, GMIME_ADDRESS_TYPE_BCC, mailbox);
                break;
            default:
                break;
        }
    }
}

void SetDate(GMimeMessage* message, const MailEntry& mail) {
    auto ticks = PropFileTime(mail.props, prop::kClientSubmitTime);
    if (!ticks) ticks = PropFileTime(mail.props, prop::kDeliveryTime);
    const auto seconds = ticks ? UnixSeconds(*ticks) : std::nullopt;
    if (!seconds) return;
    GDateTime* date = g_date_time_new_from_unix_utc(*seconds);
    if (date == nullptr) return;
    g_mime_message_set_date(message, date);
    g_date_time_unref(date);
}

void SetMessageId(GMimeMessage* message, const MailEntry& mail, const std::string& fallbackId) {
    std::string id = BareMessageId(Utf8Prop(mail, prop::kInternetMessageId));
    if (id.find('@') == std::string::npos) id = fallbackId;
    g_mime_message_set_message_id(message, id.c_str());
}

// A header of message ids (In-Reply-To, References), written as stored once
// it holds nothing that could break the header.
void SetIdListHeader(GMimeMessage* message, const char* name, const MailEntry& mail,
                     std::uint16_t id) {
    const std::string stored = Utf8Prop(mail, id);
    std::string clean;
    for (const char c : stored) {
        if (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F)
            clean += c;
    }
    if (clean.find('@') != std::string::npos)
        g_mime_object_set_header(GMIME_OBJECT(message), name, clean.c_str(), nullptr);
}

void SetImportance(GMimeMessage* message, const MailEntry& mail) {
    if (FindProp(mail.props, prop::kImportance) == nullptr) return;
    static constexpr const char* kLevels[] = {"low", "normal", "high"};
    const std::int32_t level = PropInt(mail.props, prop::kImportance);
    if (level >= 0 && level <= 2)
        g_mime_object_set_header(GMIME_OBJECT(message), "Importance", kLevels[level], nullptr);
}

void SetSubject(GMimeMessage* message, const MailEntry& mail) {
    g_mime_message_set_subject(message, HeaderText(MailSubject(&mail)).c_str(), "utf-8");
}

GMimeMessage* NewRebuiltMessage(const MailEntry& mail, const std::string& fallbackId) {
    GMimeMessage* message = g_mime_message_new(FALSE);
    SetOriginators(message, mail);
    SetRecipients(message, mail);
    SetSubject(message, mail);
    SetDate(message, mail);
    SetMessageId(message, mail, fallbackId);
    SetIdListHeader(message, "In-Reply-To", mail, prop::kInReplyToId);
    SetIdListHeader(message, "References", mail, prop::kInternetReferences);
    SetImportance(message, mail);
    return message;
}

// The stored header block up to its first empty line, which ends the headers.
std::string StoredHeaderBlock(const MailEntry& mail) {
    const ExportedProp* stored = FindProp(mail.props, prop::kTransportMessageHeaders);
    if (stored == nullptr || ValueSize(*stored) > 4 * kMaxStoredHeaderBytes) return {};
    std::string block = common::Utf16ToUtf8(
        common::CapUtf8Bytes(ValueToText(*stored, MessageCodePage(&mail)), kMaxStoredHeaderBytes));
    for (const char* end : {"\r\n\r\n", "\n\n"}) {
        const std::size_t at = block.find(end);
        if (at != std::string::npos) block.resize(at);
    }
    return block;
}

// The headers that describe the stored body: the body is made anew, and so are they.
void RemoveContentHeaders(GMimeMessage* message) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    std::vector<std::string> names;
    for (int i = 0; i < g_mime_header_list_get_count(headers); ++i) {
        const char* name = g_mime_header_get_name(g_mime_header_list_get_header_at(headers, i));
        if (name != nullptr && strncasecmp(name, "Content-", 8) == 0) names.emplace_back(name);
    }
    for (const std::string& name : names) g_mime_header_list_remove(headers, name.c_str());
}

GMimeMessage* ParseStoredHeaders(const MailEntry& mail) {
    const std::string block = StoredHeaderBlock(mail);
    if (block.find(':') == std::string::npos) return nullptr;
    const std::string text = block + "\r\n\r\n";
    const GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(text.data(), text.size()));
    const GRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GMimeMessage* message = g_mime_parser_construct_message(parser.get(), nullptr);
    if (message == nullptr) return nullptr;
    RemoveContentHeaders(message);
    return message;
}

bool HasHeader(GMimeMessage* message, const char* name) {
    return g_mime_object_get_header(GMIME_OBJECT(message), name) != nullptr;
}

// Whatever the stored block lacks is rebuilt, so every message names its
// sender, subject, date and id.
void CompleteStoredHeaders(GMimeMessage* message, const MailEntry& mail,
                           const std::string& fallbackId) {
    if (!HasHeader(message, "From")) SetOriginators(message, mail);
    if (!HasHeader(message, "Subject")) SetSubject(message, mail);
    if (!HasHeader(message, "Date")) SetDate(message, mail);
    if (!HasHeader(message, "Message-ID")) SetMessageId(message, mail, fallbackId);
}

}  // namespace

GMimeMessage* NewMessageWithHeaders(const MailEntry& mail, const std::string& fallbackId) {
    GMimeMessage* stored = ParseStoredHeaders(mail);
    if (stored == nullptr) return NewRebuiltMessage(mail, fallbackId);
    CompleteStoredHeaders(stored, mail, fallbackId);
    return stored;
}

}  // namespace velmora
