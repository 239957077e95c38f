#include "tools/velmora-cli/tree_command.h"

#include <ostream>
#include <string>

#include "common/utf16_text.h"
#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/folder_visit.h"
#include "viewer/data/mail_access/record_getters.h"

namespace velmora::cli {

int RunTree(const std::filesystem::path& store, std::ostream& out) {
    StoreSession session;
    if (!OpenOrReport(session, store)) return 1;
    for (const FolderVisit& visit : FlattenFolders(session.Roots())) {
        const std::size_t messages = session.MessageCount(visit.folder);
        out << std::string(static_cast<std::size_t>(visit.depth) * 2, ' ')
            << common::Utf16ToUtf8(FolderName(visit.folder)) << " (" << messages << ") ["
            << NidText(visit.folder->nidLow) << "]\n";
    }
    return 0;
}

}  // namespace velmora::cli
