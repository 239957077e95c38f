#include "viewer/data/rebuild/message_page.h"

#include <filesystem>

#include "common/path_text.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora {

bool RenderMessagePage(const MailEntry* mail, const std::u16string& target) {
    // Without a working folder there is no scratch folder either: the rebuild
    // then says so itself.
    if (GetWorkFolder().empty()) return RenderSelectedMessage(mail, target);
    const std::filesystem::path scratch = common::PathFromUtf16(NewScratchPath());
    bool ready = false;
    bool rendered = false;
    {
        const WorkFolderScope passing(common::PathToUtf16(scratch));
        ready = passing.Ready();
        if (ready) rendered = RenderSelectedMessage(mail, target);
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    // A scratch folder that cannot be made leaves the files in the usual place.
    return ready ? rendered : RenderSelectedMessage(mail, target);
}

}  // namespace velmora
