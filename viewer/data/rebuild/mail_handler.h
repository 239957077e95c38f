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
    explicit CMailHandler(messaging::CDispatchDriver* message) : message_(message) {}
    virtual ~CMailHandler() = default;

    // Copies the message in `data` into the message object. Each property,
    // recipient and attachment is copied on its own: one that fails is left
    // out and the rest still go in.
    void FillMessage(const CMailDataFileInterface& data);

  private:
    void CopyProperties(const MailEntry& mail, std::uint32_t codePage);
    void CopyProperty(const ExportedProp& prop, std::uint32_t codePage);
    void ImportBody(const ExportedProp& prop, std::int32_t format);
    void CopyRecipients(const MailEntry& mail, std::uint32_t codePage);
    void CopyAttachments(const MailEntry& mail, std::uint32_t codePage);
    void CopyAttachment(messaging::CDispatchDriver& attachments, const AttachmentRow& row,
                        const std::u16string& folder, AttachmentFileNames& names,
                        std::uint32_t codePage);

    messaging::CDispatchDriver* message_;
};

}  // namespace velmora
