#include "viewer/data/search_index/message_document.h"

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/search_index/index_terms.h"
#include "viewer/data/search_index/index_words.h"
#include "viewer/data/search_index/message_text.h"
#include "viewer/data/search_index/search_hit.h"

namespace velmora::search {
namespace {

// The engine bounds how deep attached messages go; this bounds the walk here too.
constexpr int kMaxAttachedDepth = 8;
// Positions left between two pieces of text, so a phrase never runs from one into the next.
constexpr Xapian::termpos kPieceGap = 100;

std::string Utf8(const std::u16string& text) {
    return common::Utf16ToUtf8(text);
}

// Adds pieces of text to the document, each word with its position.
class DocumentWriter {
  public:
    explicit DocumentWriter(Xapian::Document& document) : document_(document) {}

    // The words under `prefix`, and without one too when `bare`.
    void Add(const std::string& text, const char* prefix, bool bare = true) {
        ForEachWord(text, [&](const IndexWord& word) {
            ++position_;
            AddWord(word.exact, prefix, bare);
            if (word.plain != word.exact) AddWord(word.plain, prefix, bare);
        });
        position_ += kPieceGap;
    }

  private:
    void AddWord(const std::string& word, const char* prefix, bool bare) {
        document_.add_posting(prefix + word, position_);
        if (bare) document_.add_posting(word, position_);
    }

    Xapian::Document& document_;
    Xapian::termpos position_ = 0;
};

std::uint64_t SubmitFileTime(const MailEntry& mail) {
    const ExportedProp* time = FindProp(mail.props, common::prop::kClientSubmitTime);
    if (time == nullptr) return 0;
    const std::vector<std::uint8_t> bytes = ValueBytes(*time);
    if (bytes.size() < 8) return 0;
    std::uint64_t ticks = 0;
    for (int i = 7; i >= 0; --i) ticks = ticks << 8 | bytes[static_cast<std::size_t>(i)];
    return ticks;
}

std::int64_t UnixSeconds(std::uint64_t fileTime) {
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    return static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kSecondsFrom1601To1970;
}

// The sender's name and both of its addresses.
void AddSender(DocumentWriter& writer, const MailEntry& mail, const char* prefix) {
    const std::uint32_t codePage = MessageCodePage(&mail);
    writer.Add(Utf8(MailSenderName(&mail)), prefix);
    writer.Add(Utf8(PropText(mail.props, common::prop::kSenderEmailAddress, codePage)), prefix);
    writer.Add(Utf8(MailSenderAddress(&mail)), prefix);
}

// Each recipient's name and addresses, under the prefixes of its kind.
void AddRecipients(DocumentWriter& writer, const MailEntry& mail) {
    const std::uint32_t codePage = MessageCodePage(&mail);
    const RecipientRowList* list = mail.recipients;
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        const RecipientRow* row = list->items[i];
        if (row == nullptr) continue;
        const ExportedPropMap* cells = row->tableRow;
        for (const std::string& text :
             {Utf8(FolderName(row, codePage)),
              Utf8(PropText(cells, common::prop::kEmailAddress, codePage)),
              Utf8(PropText(cells, common::prop::kSmtpAddress, codePage))}) {
            writer.Add(text, prefix::kRecipient);
            if (RecipientType(row) == 2) writer.Add(text, prefix::kCc, false);
        }
    }
}

// An attached message's words, all as the parent's body, and its own
// attachments' names (and their attached messages) as the parent's.
void AddAttachments(DocumentWriter& writer, const MailEntry& mail, int depth);

void AddAttachedMessage(DocumentWriter& writer, const MailEntry& inner, int depth) {
    writer.Add(Utf8(MailSubject(&inner)), prefix::kBody);
    AddSender(writer, inner, prefix::kBody);
    const std::uint32_t codePage = MessageCodePage(&inner);
    const RecipientRowList* list = inner.recipients;
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        const RecipientRow* row = list->items[i];
        if (row == nullptr) continue;
        writer.Add(Utf8(FolderName(row, codePage)), prefix::kBody);
        writer.Add(Utf8(RecipientAddress(row, codePage)), prefix::kBody);
    }
    writer.Add(BodyText(&inner), prefix::kBody);
    AddAttachments(writer, inner, depth + 1);
}

void AddAttachments(DocumentWriter& writer, const MailEntry& mail, int depth) {
    if (depth > kMaxAttachedDepth) return;
    const std::uint32_t codePage = MessageCodePage(&mail);
    const AttachmentRowList* list = mail.attachments;
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        const AttachmentRow* row = list->items[i];
        if (row == nullptr) continue;
        writer.Add(Utf8(AttachmentName(row, codePage)), prefix::kAttachment);
        if (const MailEntry* inner = AttachmentMessage(row))
            AddAttachedMessage(writer, *inner, depth);
    }
}

void AddFlags(Xapian::Document& document, const MailEntry& mail) {
    if (mail.attachments != nullptr && mail.attachments->count > 0)
        document.add_boolean_term(flag::kHasAttachment);
    if (!MailIsRead(&mail)) document.add_boolean_term(flag::kUnread);
    // Importance 0 is low and 2 high; 1, normal, and an absent one get no term.
    const std::int32_t importance = MailImportance(&mail);
    if (importance == 0 && FindProp(mail.props, common::prop::kImportance) != nullptr)
        document.add_boolean_term(flag::kImportanceLow);
    if (importance == 2) document.add_boolean_term(flag::kImportanceHigh);
}

}  // namespace

Xapian::Document MessageDocument(const MailEntry& mail, const MessagePlace& place) {
    Xapian::Document document;
    DocumentWriter writer(document);
    const std::string subject = Utf8(MailSubject(&mail));
    writer.Add(subject, prefix::kSubject);
    AddSender(writer, mail, prefix::kFrom);
    AddRecipients(writer, mail);
    writer.Add(BodyText(&mail), prefix::kBody);
    AddAttachments(writer, mail, 0);
    writer.Add(place.folderPath, prefix::kFolder, false);
    AddFlags(document, mail);

    const std::uint64_t submitTime = SubmitFileTime(mail);
    if (submitTime != 0)
        document.add_value(kSubmitTimeSlot, SubmitTimeValue(UnixSeconds(submitTime)));
    const std::string key = MessageKeyTerm(place.folderNid, place.position);
    document.add_boolean_term(key);
    document.set_data(EncodeHit({place.folderNid, place.position, place.folderPath, subject,
                                 Utf8(MailSenderName(&mail)), submitTime}));
    return document;
}

bool IsUnreadable(const MailEntry& mail) {
    return mail.props == nullptr || mail.props->count == 0;
}

}  // namespace velmora::search
