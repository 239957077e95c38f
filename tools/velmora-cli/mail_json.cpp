#include "tools/velmora-cli/mail_json.h"

#include <ctime>
#include <optional>
#include <vector>

#include "common/utf16_text.h"
#include "tools/velmora-cli/sha256_hex.h"
#include "viewer/data/compressed_rtf/compressed_rtf_file.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_access/value_text.h"

namespace velmora::cli {
namespace {

using Bytes = std::vector<std::uint8_t>;

namespace ptype = common::ptype;

std::string Utf8(const std::u16string& text) {
    return common::Utf16ToUtf8(text);
}

std::string PropUtf8(const ExportedPropMap* map, std::uint16_t id, std::uint32_t codePage) {
    return Utf8(PropText(map, id, codePage));
}

Json HashOrNull(const std::optional<std::string>& hash) {
    return hash ? Json(*hash) : Json(nullptr);
}

Json SubmitTime(const MailEntry* mail) {
    const std::string text = SubmitTimeUtc(mail);
    return text.empty() ? Json(nullptr) : Json(text);
}

// The plain-text body as UTF-8, whichever of the two string types the store
// keeps it in; a body of any other type is hashed as its bytes stand.
std::optional<std::string> TextBodyHash(const MailEntry* mail) {
    const ExportedProp* body = FindProp(mail->props, common::prop::kBody);
    if (body == nullptr) return std::nullopt;
    const Bytes bytes = ValueBytes(*body);
    if (body->type == common::ptype::kUnicode) return Sha256Hex(Utf8(Utf16Text(bytes)));
    if (body->type == common::ptype::kString8)
        return Sha256Hex(Utf8(EightBitText(bytes, MessageCodePage(mail))));
    return Sha256Hex(bytes);
}

std::optional<std::string> StoredBytesHash(const ExportedPropMap* map, std::uint16_t id) {
    const ExportedProp* value = FindProp(map, id);
    if (value == nullptr) return std::nullopt;
    return Sha256Hex(ValueBytes(*value));
}

// The decoded RTF; a stream that does not decode is hashed as stored, the
// bytes the `rtf` command writes for it.
std::optional<std::string> RtfBodyHash(const MailEntry* mail) {
    const ExportedProp* rtf = FindProp(mail->props, common::prop::kRtfCompressed);
    if (rtf == nullptr) return std::nullopt;
    const std::optional<Bytes> decoded = DecodedRtf(*rtf);
    return Sha256Hex(decoded ? *decoded : ValueBytes(*rtf));
}

Json BodyJson(const MailEntry* mail) {
    return Json{{"text_sha256", HashOrNull(TextBodyHash(mail))},
                {"html_sha256", HashOrNull(StoredBytesHash(mail->props, common::prop::kBodyHtml))},
                {"rtf_sha256", HashOrNull(RtfBodyHash(mail))}};
}

Json RecipientJson(const RecipientRow* row, std::uint32_t codePage) {
    const ExportedPropMap* cells = row != nullptr ? row->tableRow : nullptr;
    return Json{{"name", Utf8(FolderName(row, codePage))},
                {"email", PropUtf8(cells, common::prop::kEmailAddress, codePage)},
                {"smtp", PropUtf8(cells, common::prop::kSmtpAddress, codePage)},
                {"type", RecipientType(row)}};
}

Json MessageFieldsJson(const MailEntry* mail);

// An attached message is listed whole below its attachment, as "message".
Json AttachmentJson(const AttachmentRow* row, std::uint32_t codePage) {
    std::u16string extension;
    AttachmentExtension(row, extension, codePage);
    const ExportedPropMap* object = row != nullptr ? row->object : nullptr;
    const ExportedProp* data = AttachmentData(row);
    const Bytes bytes = data != nullptr ? ValueBytes(*data) : Bytes();
    Json json{{"name", Utf8(AttachmentName(row, codePage))},
              {"extension", Utf8(extension)},
              {"method", PropInt(object, common::prop::kAttachMethod)},
              {"size", bytes.size()},
              {"sha256", data != nullptr ? Json(Sha256Hex(bytes)) : Json(nullptr)}};
    if (const MailEntry* inner = AttachmentMessage(row)) json["message"] = MessageFieldsJson(inner);
    return json;
}

template <typename List, typename Fn>
Json ArrayOf(const List* list, Fn toJson) {
    Json array = Json::array();
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i)
        array.push_back(toJson(list->items[i]));
    return array;
}

}  // namespace

std::string SubmitTimeUtc(const MailEntry* mail) {
    const auto ticks = PropFileTime(mail->props, common::prop::kClientSubmitTime);
    return ticks ? IsoUtcTime(*ticks) : std::string();
}

std::string IsoUtcTime(std::uint64_t fileTime) {
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto clock = static_cast<std::time_t>(
        static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kSecondsFrom1601To1970);
    std::tm utc{};
    if (gmtime_r(&clock, &utc) == nullptr) return {};
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

namespace {

Json MessageFieldsJson(const MailEntry* mail) {
    const std::uint32_t codePage = MessageCodePage(mail);
    return Json{
        {"class", PropUtf8(mail->props, common::prop::kMessageClass, codePage)},
        {"subject", Utf8(MailSubject(mail))},
        {"sender_name", Utf8(MailSenderName(mail))},
        {"sender_email", PropUtf8(mail->props, common::prop::kSenderEmailAddress, codePage)},
        {"sender_address", Utf8(MailSenderAddress(mail))},
        {"submit_time", SubmitTime(mail)},
        {"flags", static_cast<std::uint32_t>(PropInt(mail->props, common::prop::kMessageFlags))},
        {"importance", MailImportance(mail)},
        {"recipients", ArrayOf(mail->recipients,
                               [&](const RecipientRow* r) { return RecipientJson(r, codePage); })},
        {"attachments",
         ArrayOf(mail->attachments,
                 [&](const AttachmentRow* a) { return AttachmentJson(a, codePage); })},
        {"body", BodyJson(mail)},
    };
}

}  // namespace

Json MailJson(std::uint32_t nid, const MailEntry* mail) {
    Json json{{"nid", nid}};
    json.update(MessageFieldsJson(mail));
    return json;
}

}  // namespace velmora::cli
