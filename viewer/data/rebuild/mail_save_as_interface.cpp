#include "viewer/data/rebuild/mail_save_as_interface.h"

#include "automation/component_registry.h"
#include "common/path_text.h"
#include "viewer/data/rebuild/mail_dispatch_ids.h"
#include "viewer/data/rebuild/mail_handler.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora {

using messaging::CDispatchDriver;
using messaging::DispatchException;
using messaging::InvokeKind;

CMailSaveAsInterface::~CMailSaveAsInterface() {
    if (session_) session_->ReleaseDispatch();
}

bool CMailSaveAsInterface::Connect() {
    session_ = std::make_unique<CDispatchDriver>();
    try {
        if (session_->CreateDispatch(messaging::kMessageSessionProgId)) return true;
        ShowMessageBox(kErrorCaption, kConnectFailedText);
    } catch (const DispatchException& error) {
        ShowMessageBox(kErrorCaption, error.Text().substr(0, kErrorTextLength));
    }
    return false;
}

bool CMailSaveAsInterface::SaveMessageAs(const std::u16string& target, const MailEntry* mail) {
    data_.SetMail(mail);
    return RenderMessage(target);
}

bool CMailSaveAsInterface::RenderMessage(const std::u16string& target) {
    if (!session_ || !session_->Object()) return false;
    if (GetWorkFolder().empty()) {
        ShowMessageBox(kErrorCaption, kNoWorkFolderText);
        return false;
    }
    const std::u16string messageFile =
        GetWorkFolder() + common::kPathSeparator + mailcode::kMessageFileName;
    try {
        CDispatchDriver message(
            session_->InvokeForObject(dispid::kCreateMessageFromFile, InvokeKind::Method,
                                      {messageFile, std::int32_t{0}, std::int32_t{0}}));
        CMailHandler handler(&message, session_.get());
        handler.FillMessage(data_);
        message.InvokeHelper(dispid::kSaveAs, InvokeKind::Method,
                             {target, mailcode::kSaveAsWebArchive});
        message.ReleaseDispatch();
        return true;
    } catch (const DispatchException&) {
        return false;
    }
}

bool RenderSelectedMessage(const MailEntry* mail, const std::u16string& target,
                           WindowHandle* owner) {
    CMailSaveAsInterface saver(owner);
    return saver.Connect() && saver.SaveMessageAs(target, mail);
}

}  // namespace velmora
