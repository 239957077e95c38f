#include "tools/velmora-cli/dump_command.h"

#include <ostream>

#include "common/utf16_text.h"
#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/mail_json.h"
#include "tools/velmora-cli/message_locator.h"
#include "viewer/data/mail_access/record_getters.h"

namespace velmora::cli {
namespace {

Json FolderListJson(StoreSession& session, const FolderList* list);

Json FolderJson(StoreSession& session, FolderEntry* folder) {
    Json messages = Json::array();
    for (const NumberedMail& numbered : EnumNumberedMails(session, folder)) {
        messages.push_back(MailJson(numbered.nid, numbered.mail));
    }
    return Json{{"name", common::Utf16ToUtf8(FolderName(folder))},
                {"class", common::Utf16ToUtf8(FolderClass(folder))},
                {"nid", folder->nidLow},
                {"messages", std::move(messages)},
                {"folders", FolderListJson(session, folder->children)}};
}

Json FolderListJson(StoreSession& session, const FolderList* list) {
    Json folders = Json::array();
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        if (list->items[i] != nullptr) folders.push_back(FolderJson(session, list->items[i]));
    }
    return folders;
}

}  // namespace

std::string DumpVariantName(std::uint16_t version) {
    if (version == 14 || version == 15) return "Ansi";
    if (version == 21 || version == 23) return "Unicode";
    return version == 36 ? "Unicode4K" : "";
}

int RunDump(const std::filesystem::path& store, std::ostream& out) {
    StoreSession session;
    if (!OpenOrReport(session, store)) return 1;
    const Json dump{{"store", store.string()},
                    {"version", session.Version()},
                    {"variant", DumpVariantName(session.Version())},
                    {"folders", FolderListJson(session, session.Roots())}};
    // A path here need not be UTF-8: its stray bytes are written as U+FFFD.
    out << dump.dump(1, ' ', false, Json::error_handler_t::replace) << "\n";
    return 0;
}

}  // namespace velmora::cli
