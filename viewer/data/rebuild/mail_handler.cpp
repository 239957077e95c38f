#include "viewer/data/rebuild/mail_handler.h"

#include <filesystem>
#include <optional>

#include "common/path_text.h"
#include "viewer/data/compressed_rtf/compressed_rtf_file.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_access/value_text.h"
#include "viewer/data/rebuild/copy_step.h"
#include "viewer/data/rebuild/mail_dispatch_ids.h"
#include "viewer/data/rebuild/mail_property_values.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora {
namespace {

using messaging::CDispatchDriver;
using messaging::DispatchException;
using messaging::DispatchId;
using messaging::InvokeKind;
using messaging::Variant;

enum class ValueKind { Boolean, Integer, Text, Subject, Date, RtfBody, HtmlBody };

struct PropertyCopy {
    std::uint16_t id;
    DispatchId dispatchId;
    ValueKind kind;
};

// The message properties that are copied, by property id; any other is left out.
constexpr PropertyCopy kMessageCopies[] = {
    {common::prop::kAlternateRecipientAllowed, dispid::kAlternateRecipientAllowed,
     ValueKind::Boolean},
    {common::prop::kImportance, dispid::kImportance, ValueKind::Integer},
    {common::prop::kMessageClass, dispid::kMessageClass, ValueKind::Text},
    {common::prop::kSensitivity, dispid::kSensitivity, ValueKind::Integer},
    {common::prop::kSubject, dispid::kSubject, ValueKind::Subject},
    {common::prop::kClientSubmitTime, dispid::kSentOn, ValueKind::Date},
    {common::prop::kReceivedByName, dispid::kReceivedByName, ValueKind::Text},
    {common::prop::kConversationTopic, dispid::kConversationTopic, ValueKind::Text},
    {common::prop::kSenderName, dispid::kSenderName, ValueKind::Text},
    {common::prop::kSenderEmailAddress, dispid::kSenderEmailAddress, ValueKind::Text},
    {common::prop::kDeliveryTime, dispid::kReceivedTime, ValueKind::Date},
    {common::prop::kBody, dispid::kBody, ValueKind::Text},
    {common::prop::kRtfCompressed, dispid::kImport, ValueKind::RtfBody},
    {common::prop::kBodyHtml, dispid::kImport, ValueKind::HtmlBody},
    {common::prop::kMessageEditorFormat, dispid::kBodyFormat, ValueKind::Integer},
};

// The attachment properties put on a new attachment, all as text.
constexpr PropertyCopy kAttachmentCopies[] = {
    {common::prop::kDisplayName, dispid::kAttachDisplayName, ValueKind::Text},
    {common::prop::kAttachFilename, dispid::kAttachFileName, ValueKind::Text},
    {common::prop::kAttachMimeTag, dispid::kAttachMimeTag, ValueKind::Text},
    {common::prop::kAttachContentId, dispid::kAttachContentId, ValueKind::Text},
    {common::prop::kAttachContentLocation, dispid::kAttachContentLocation, ValueKind::Text},
};

template <std::size_t N>
const PropertyCopy* FindCopy(const PropertyCopy (&table)[N], std::uint16_t id) {
    for (const PropertyCopy& copy : table) {
        if (copy.id == id) return &copy;
    }
    return nullptr;
}

Variant PutValue(const ExportedProp& prop, ValueKind kind, std::uint32_t codePage) {
    switch (kind) {
        case ValueKind::Boolean:
            return FirstBytesAsInt(prop) != 0;
        case ValueKind::Integer:
            return FirstBytesAsInt(prop);
        case ValueKind::Subject:
            return SubjectText(prop, codePage);
        case ValueKind::Date: {
            const auto date = PropLocalDate(prop);
            if (!date) throw DispatchException(u"Invalid DateTime");
            return *date;
        }
        default:
            return ValueToText(prop, codePage);
    }
}

// Removes a scratch file when it goes out of scope, whatever happened in between.
class ScratchFile {
  public:
    explicit ScratchFile(std::u16string path) : path_(std::move(path)) {}
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(common::PathFromUtf16(path_), ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::u16string& Path() const { return path_; }

  private:
    std::u16string path_;
};

// The subject of an attached message as the name of its file: ".eml" is
// added unless the name already ends in it.
std::u16string MessageFileName(std::u16string name) {
    if (name.empty()) name = kUnnamedAttachment;
    std::u16string lower = name;
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    if (!lower.ends_with(mailcode::kMessageFileExtension)) name += mailcode::kMessageFileExtension;
    return name;
}

void ForEachProp(const ExportedPropMap* map, const auto& action) {
    for (std::uint32_t i = 0; map != nullptr && i < map->count; ++i) {
        if (map->items[i] != nullptr) action(*map->items[i]);
    }
}

}  // namespace

void CMailHandler::FillMessage(const CMailDataFileInterface& data) {
    if (data.Mail() != nullptr && message_ != nullptr) Fill(*data.Mail());
}

void CMailHandler::Fill(const MailEntry& mail) {
    const std::uint32_t codePage = MessageCodePage(&mail);
    CopyProperties(mail, codePage);
    RunCopyStep([&] { CopyRecipients(mail, codePage); });
    RunCopyStep([&] { CopyAttachments(mail, codePage); });
}

void CMailHandler::CopyProperties(const MailEntry& mail, std::uint32_t codePage) {
    ForEachProp(mail.props, [&](const ExportedProp& prop) {
        RunCopyStep([&] { CopyProperty(prop, codePage); });
    });
}

void CMailHandler::CopyProperty(const ExportedProp& prop, std::uint32_t codePage) {
    const PropertyCopy* copy = FindCopy(kMessageCopies, prop.id);
    if (copy == nullptr) return;
    if (copy->kind == ValueKind::RtfBody) return ImportBody(prop, mailcode::kImportRtf);
    if (copy->kind == ValueKind::HtmlBody) return ImportBody(prop, mailcode::kImportHtml);
    message_->SetProperty(copy->dispatchId, PutValue(prop, copy->kind, codePage));
}

void CMailHandler::ImportBody(const ExportedProp& prop, std::int32_t format) {
    const ScratchFile body(NewScratchPath());
    if (format == mailcode::kImportRtf) {
        // Bytes that are not RTF are not handed over as RTF: the page then
        // comes from the other bodies.
        if (!WriteRtfFile(prop, body.Path()).decoded)
            throw DispatchException(u"The RTF body does not decode");
    } else if (!WriteDataFile(prop, body.Path())) {
        throw DispatchException(u"Cannot write the body file");
    }
    message_->InvokeHelper(dispid::kImport, InvokeKind::Method, {body.Path(), format});
}

void CMailHandler::CopyRecipients(const MailEntry& mail, std::uint32_t codePage) {
    CDispatchDriver recipients(
        message_->InvokeForObject(dispid::kRecipients, InvokeKind::PropertyGet));
    for (std::uint32_t i = 0; mail.recipients != nullptr && i < mail.recipients->count; ++i) {
        const RecipientRow* row = mail.recipients->items[i];
        if (row == nullptr) continue;
        RunCopyStep([&] {
            recipients.InvokeHelper(
                dispid::kAddRecipient, InvokeKind::Method,
                {FolderName(row, codePage), RecipientAddress(row, codePage),
                 std::u16string(mailcode::kAddressTypeSmtp), RecipientType(row)});
        });
    }
}

void CMailHandler::CopyAttachments(const MailEntry& mail, std::uint32_t codePage) {
    CDispatchDriver attachments(
        message_->InvokeForObject(dispid::kAttachments, InvokeKind::PropertyGet));
    std::u16string folder;
    if (!NewAttachmentFolder(folder)) {
        ShowMessageBox(kErrorCaption,
                       u"Cannot create a folder for the attachments below " + GetWorkFolder());
        return;
    }
    AttachmentFileNames names;
    for (std::uint32_t i = 0; mail.attachments != nullptr && i < mail.attachments->count; ++i) {
        const AttachmentRow* row = mail.attachments->items[i];
        if (row == nullptr) continue;
        RunCopyStep([&] { CopyAttachment(attachments, *row, folder, names, codePage); });
    }
    // Removes the folder only when no attachment file was written into it.
    std::error_code ignored;
    std::filesystem::remove(common::PathFromUtf16(folder), ignored);
}

void CMailHandler::CopyAttachment(CDispatchDriver& attachments, const AttachmentRow& row,
                                  const std::u16string& folder, AttachmentFileNames& names,
                                  std::uint32_t codePage) {
    if (const MailEntry* inner = AttachmentMessage(&row))
        return CopyAttachedMessage(attachments, row, *inner, folder, names, codePage);
    // The data property of an OLE object, or of an embedded message the
    // engine could not read, only points into the store: such an attachment
    // is left out rather than handed over as a part of reference bytes.
    if (AttachmentHoldsObject(&row)) return;
    const std::u16string path =
        folder + common::kPathSeparator + names.Take(AttachmentName(&row, codePage));
    if (AttachmentData(&row) != nullptr && !SaveAttachmentData(&row, path)) {
        throw DispatchException(u"Cannot write the attachment file");
    }
    AddAttachment(attachments, row, path, mailcode::kAttachByValue,
                  PropText(row.object, common::prop::kAttachLongFilename, codePage), codePage);
}

void CMailHandler::CopyAttachedMessage(CDispatchDriver& attachments, const AttachmentRow& row,
                                       const MailEntry& inner, const std::u16string& folder,
                                       AttachmentFileNames& names, std::uint32_t codePage) {
    // The engine bounds how deep attached messages go; records from
    // elsewhere are held to the same bound here.
    if (session_ == nullptr || depth_ + 1 >= kMaxAttachedMessageDepth) return;
    const std::u16string fileName = names.Take(MessageFileName(AttachmentName(&row, codePage)));
    const std::u16string path = folder + common::kPathSeparator + fileName;
    CDispatchDriver message(session_->InvokeForObject(dispid::kCreateMessageFromFile,
                                                      InvokeKind::Method,
                                                      {path, std::int32_t{0}, std::int32_t{0}}));
    CMailHandler(&message, session_, depth_ + 1).Fill(inner);
    message.InvokeHelper(dispid::kSaveAs, InvokeKind::Method, {path, mailcode::kSaveAsWebArchive});
    message.ReleaseDispatch();
    AddAttachment(attachments, row, path, mailcode::kAttachEmbeddedItem, fileName, codePage);
}

void CMailHandler::AddAttachment(CDispatchDriver& attachments, const AttachmentRow& row,
                                 const std::u16string& path, std::int32_t type,
                                 const std::u16string& displayName, std::uint32_t codePage) {
    const std::int32_t position = PropInt(row.object, common::prop::kRenderingPosition);
    CDispatchDriver attachment(attachments.InvokeForObject(
        dispid::kAddAttachment, InvokeKind::Method, {path, type, position, displayName}));
    ForEachProp(row.object, [&](const ExportedProp& prop) {
        const PropertyCopy* copy = FindCopy(kAttachmentCopies, prop.id);
        if (copy == nullptr) return;
        RunCopyStep([&] { attachment.SetProperty(copy->dispatchId, ValueToText(prop, codePage)); });
    });
}

}  // namespace velmora
