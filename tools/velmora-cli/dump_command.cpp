#include "tools/velmora-cli/dump_command.h"

#include <ostream>

#include "engine/interface/utf16_text.h"
#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/folder_visit.h"
#include "tools/velmora-cli/mail_json.h"
#include "tools/velmora-cli/message_locator.h"
#include "viewer/data/record_getters.h"
#include "viewer/data/store_folders.h"

namespace velmora::cli {
namespace {

Json FolderJson(StoreSession& session, const FolderVisit& visit) {
    Json items = Json::array();
    for (const NumberedMail& numbered : EnumNumberedMails(session, visit.folder)) {
        items.push_back(MailJson(numbered.nid, numbered.mail));
    }
    return Json{{"path", corvex::Utf16ToUtf8(visit.path)}, {"nid", visit.folder->nidLow}, {"items", items}};
}

}  // namespace

int RunDump(const std::filesystem::path& store, std::ostream& out) {
    StoreSession session;
    if (!OpenOrReport(session, store)) return 1;
    FolderEntry* top = FindTopOfPersonalFolders(session.Handle());
    const std::vector<FolderVisit> visits = top != nullptr ? FlattenBelow(top) : FlattenFolders(session.Roots());
    Json folders = Json::array();
    for (const FolderVisit& visit : visits) folders.push_back(FolderJson(session, visit));
    const Json dump{{"top", top != nullptr ? corvex::Utf16ToUtf8(FolderName(top)) : std::string()},
                    {"folders", folders}};
    out << dump.dump(1, ' ', false, Json::error_handler_t::replace) << "\n";
    return 0;
}

}  // namespace velmora::cli
