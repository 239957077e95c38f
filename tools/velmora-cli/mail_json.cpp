#include "tools/velmora-cli/mail_json.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "engine/interface/utf16_text.h"
#include "viewer/data/exported_value.h"
#include "viewer/data/record_getters.h"
#include "viewer/data/value_text.h"

namespace velmora::cli {
namespace {

constexpr std::size_t kTextWordLimit = 8;
constexpr std::int32_t kAttachEmbeddedMessage = 5;

std::string Utf8(const std::u16string& text) { return corvex::Utf16ToUtf8(text); }

std::uint64_t FileTimeOf(const MailEntry* mail) {
    const ExportedProp* time = FindProp(mail->props, prop::kClientSubmitTime);
    if (time == nullptr) return 0;
    const std::vector<std::uint8_t> bytes = ValueBytes(*time);
    std::uint64_t value = 0;
    std::memcpy(&value, bytes.data(), std::min<std::size_t>(bytes.size(), sizeof value));
    return value;
}

// The sender's own address as stored (SMTP or X.500), else the SMTP address the mail header shows.
std::string SenderEmail(const MailEntry* mail) {
    const std::u16string address = PropText(mail->props, prop::kSenderEmailAddress, MessageCodePage(mail));
    return Utf8(address.empty() ? MailSenderAddress(mail) : address);
}

std::string RecipientTypeName(std::int32_t type) {
    switch (type) {
        case 1: return "To";
        case 2: return "CC";
        case 3: return "BCC";
        default: return std::to_string(type);
    }
}

Json RecipientJson(const RecipientRow* row, std::uint32_t codePage) {
    std::u16string email = PropText(row->tableRow, prop::kEmailAddress, codePage);
    if (email.empty()) email = RecipientAddress(row, codePage);
    return Json{{"name", Utf8(FolderName(row, codePage))},
                {"email", Utf8(email)},
                {"addrtype", Utf8(PropText(row->tableRow, prop::kAddressType, codePage))},
                {"type", RecipientTypeName(RecipientType(row))}};
}

Json AttachmentJson(const AttachmentRow* row, std::uint32_t codePage) {
    Json json{{"name", Utf8(AttachmentName(row, codePage))}};
    if (PropInt(row->object, prop::kAttachMethod) == kAttachEmbeddedMessage) {
        json["embedded"] = true;
        return json;
    }
    const ExportedProp* data = FindProp(row->object, prop::kAttachDataBin);
    json["size"] = data != nullptr ? ValueSize(*data) : 0;
    return json;
}

template <typename List, typename Fn>
Json ArrayOf(const List* list, Fn toJson) {
    Json array = Json::array();
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) array.push_back(toJson(list->items[i]));
    return array;
}

bool IsWordCharacter(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' ||
           c >= 0x00C0;
}

}  // namespace

std::string UtcTimeText(std::uint64_t fileTime) {
    if (fileTime == 0) return {};
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto clock = static_cast<std::time_t>(static_cast<std::int64_t>(fileTime / kTicksPerSecond) -
                                                kSecondsFrom1601To1970);
    std::tm utc{};
    if (gmtime_r(&clock, &utc) == nullptr) return {};
    char date[64] = {};
    std::strftime(date, sizeof date, "%b %d, %Y %H:%M:%S", &utc);
    char text[96] = {};
    std::snprintf(text, sizeof text, "%s.%09llu UTC", date,
                  static_cast<unsigned long long>(fileTime % kTicksPerSecond * 100));
    return text;
}

std::vector<std::string> FirstWords(const std::u16string& text, std::size_t limit) {
    std::vector<std::string> words;
    std::u16string word;
    for (std::size_t i = 0; i <= text.size() && words.size() < limit; ++i) {
        if (i < text.size() && IsWordCharacter(text[i])) {
            word += text[i];
        } else if (!word.empty()) {
            words.push_back(Utf8(word));
            word.clear();
        }
    }
    return words;
}

Json MailJson(std::uint32_t nid, const MailEntry* mail) {
    const std::uint32_t codePage = MessageCodePage(mail);
    const std::u16string body = PropText(mail->props, prop::kBody, codePage);
    return Json{
        {"nid", nid},
        {"subject", Utf8(MailSubject(mail))},
        {"sender_name", Utf8(MailSenderName(mail))},
        {"sender_email", SenderEmail(mail)},
        {"submit_time", UtcTimeText(FileTimeOf(mail))},
        {"recipients", ArrayOf(mail->recipients, [&](const RecipientRow* r) { return RecipientJson(r, codePage); })},
        {"attachments", ArrayOf(mail->attachments, [&](const AttachmentRow* a) { return AttachmentJson(a, codePage); })},
        {"has_text", FindProp(mail->props, prop::kBody) != nullptr},
        {"text_words", FirstWords(body, kTextWordLimit)},
        {"has_html", FindProp(mail->props, prop::kBodyHtml) != nullptr},
        {"has_rtf", FindProp(mail->props, prop::kRtfCompressed) != nullptr},
    };
}

}  // namespace velmora::cli
