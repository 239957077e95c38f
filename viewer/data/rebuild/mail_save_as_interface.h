// Rebuilds a message of a store in the messaging session and has it saved as
// a page the mail view shows. A session lives for one message only.
#pragma once

#include <memory>
#include <string>

#include "automation/dispatch_driver.h"
#include "engine/interface/corvex_engine.h"
#include "viewer/data/rebuild/mail_data_file_interface.h"
#include "viewer/data/rebuild/message_box.h"

namespace velmora {

// The window that owns the error boxes; the desktop framework's handle type.
using WindowHandle = void*;

inline constexpr char16_t kConnectFailedText[] = u"Cannot Connect to Outlook";
inline constexpr char16_t kNoWorkFolderText[] =
    u"There is no working folder for the message's bodies and attachments";
inline constexpr std::size_t kErrorTextLength = 255;

class CMailSaveAsInterface {
  public:
    explicit CMailSaveAsInterface(WindowHandle* owner = nullptr) : owner_(owner) {}
    virtual ~CMailSaveAsInterface();
    CMailSaveAsInterface(const CMailSaveAsInterface&) = delete;
    CMailSaveAsInterface& operator=(const CMailSaveAsInterface&) = delete;

    // Creates the messaging session. On failure shows why in a message box
    // ("Cannot Connect to Outlook", or the creation's own error text) and returns false.
    bool Connect();

    // Rebuilds `mail` and saves it at `target` as one MHTML file.
    bool SaveMessageAs(const std::u16string& target, const MailEntry* mail);

    // False when there is no session, or when the message object cannot be
    // created or saved; the target is then not written. Without a working
    // folder nothing is rendered and a message box says so: the bodies and
    // attachments pass through files there.
    bool RenderMessage(const std::u16string& target);

    WindowHandle* Owner() const { return owner_; }

  private:
    CMailDataFileInterface data_;
    std::unique_ptr<messaging::CDispatchDriver> session_;
    WindowHandle* owner_;
};

// What the mail list does for a selected message: connect, save the message
// at `target`, and let the session go. False when nothing was written.
bool RenderSelectedMessage(const MailEntry* mail, const std::u16string& target,
                           WindowHandle* owner = nullptr);

}  // namespace velmora
