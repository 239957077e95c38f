#include "tools/velmora-cli/render_command.h"

#include "common/path_text.h"
#include "tools/velmora-cli/command_support.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"

namespace velmora::cli {

int RunRender(const std::filesystem::path& store, std::uint32_t messageNid,
              const std::filesystem::path& output) {
    StoreSession session;
    const MailEntry* mail = OpenMessageOrReport(session, store, messageNid);
    if (mail == nullptr) return 1;
    const std::filesystem::path target = std::filesystem::absolute(output);
    // A failed connection has been shown already, through the message-box layer.
    CMailSaveAsInterface saver;
    if (!saver.Connect()) return 1;
    if (!saver.SaveMessageAs(common::PathToUtf16(target), mail))
        return ReportFailure("cannot write " + target.string());
    return 0;
}

}  // namespace velmora::cli
