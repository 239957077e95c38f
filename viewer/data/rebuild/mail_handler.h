// Fills a message object of the messaging session from the engine's record of
// a message: properties, bodies, recipients and attachments.
#pragma once

#include <cstdint>
#include <string>

#include "automation/dispatch_driver.h"
#include "engine/interface/corvex_engine.h"
#include "viewer/data/rebuild/attachment_file_name.h"
#include "viewer/data/rebuild/mail_data_file_interface.h"

namespace velmora {

class CMailHandler {
  public:
    // `session` makes the message objects that attached messages are rebuilt
    // in; without one they are left out. `depth` counts the messages this one
    // is attached to.
    explicit CMailHandler(messaging::CDispatchDriver* message,
                          messaging::CDispatchDriver* session = nullptr, int depth = 0)
        : message_(message), session_(session), depth_(depth) {}
    virtual ~CMailHandler() = default;

    // Copies the message in `data` into the message object. Each property,
    // recipient and attachment is copied on its own: one that fails is left
    // out and the rest still go in.
    void FillMessage(const CMailDataFileInterface& data);

  private:
    void Fill(const MailEntry& mail);
    void CopyProperties(const MailEntry& mail, std::uint32_t codePage);
    void CopyProperty(const ExportedProp& prop, std::uint32_t codePage);
    void ImportBody(const ExportedProp& prop, std::int32_t format);
    void CopyRecipients(const MailEntry& mail, std::uint32_t codePage);
    void CopyAttachments(const MailEntry& mail, std::uint32_t codePage);
    void CopyAttachment(messaging::CDispatchDriver& attachments, const AttachmentRow& row,
                        const std::u16string& folder, AttachmentFileNames& names,
                        std::uint32_t codePage);
    // Rebuilds the attached message in a message object of its own, saves it
    // in Internet message form in the attachment folder and attaches that file.
    void CopyAttachedMessage(messaging::CDispatchDriver& attachments, const AttachmentRow& row,
                             const MailEntry& inner, const std::u16string& folder,
                             AttachmentFileNames& names, std::uint32_t codePage);
    void AddAttachment(messaging::CDispatchDriver& attachments, const AttachmentRow& row,
                       const std::u16string& path, std::int32_t type,
                       const std::u16string& displayName, std::uint32_t codePage);

    messaging::CDispatchDriver* message_;
    messaging::CDispatchDriver* session_;
    int depth_;
};

}  // namespace velmora
