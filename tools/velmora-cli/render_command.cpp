#include "tools/velmora-cli/render_command.h"

#include "common/path_text.h"
#include "tools/velmora-cli/command_support.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::cli {

int RunRender(const std::filesystem::path& store, std::uint32_t messageNid,
              const std::filesystem::path& output) {
    StoreSession session;
    const MailEntry* mail = OpenMessageOrReport(session, store, messageNid);
    if (mail == nullptr) return 1;
    return SaveRendered(session, mail, output);
}

int SaveRendered(StoreSession& session, const MailEntry* mail,
                 const std::filesystem::path& output) {
    const std::filesystem::path target = std::filesystem::absolute(output);
    // The rebuild copies bodies and attachments into the working folder and
    // keeps them there for the viewer; this run's copies go into its scratch
    // folder instead, which goes with the session.
    const WorkFolderScope work(common::PathToUtf16(session.ScratchFolder() / "rebuild"));
    if (!work.Ready()) return ReportFailure(work.Error());
    // A failed connection has been shown already, through the message-box layer.
    CMailSaveAsInterface saver;
    if (!saver.Connect()) return 1;
    if (!saver.SaveMessageAs(common::PathToUtf16(target), mail))
        return ReportFailure("cannot write " + target.string());
    return 0;
}

}  // namespace velmora::cli
