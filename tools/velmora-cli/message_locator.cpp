#include "tools/velmora-cli/message_locator.h"

#include <algorithm>

#include "tools/velmora-cli/folder_visit.h"

namespace velmora::cli {
namespace {

std::vector<std::uint32_t> NidsOf(StoreSession& session, const FolderEntry* folder) {
    const StoreIndex* index = session.Index();
    return index != nullptr ? index->MessageNids(folder->nidLow) : std::vector<std::uint32_t>{};
}

}  // namespace

std::vector<NumberedMail> EnumNumberedMails(StoreSession& session, FolderEntry* folder) {
    const std::vector<std::uint32_t> nids = NidsOf(session, folder);
    const MailEntryList& mails = session.EnumMails(folder);
    std::vector<NumberedMail> numbered;
    // A stopped enumeration hands out fewer messages than the index holds.
    for (std::uint32_t i = 0; i < mails.count && i < nids.size(); ++i)
        numbered.push_back({nids[i], mails.items[i]});
    return numbered;
}

MailEntry* FindMessage(StoreSession& session, std::uint32_t nid) {
    for (const FolderVisit& visit : FlattenFolders(session.Roots())) {
        const std::vector<std::uint32_t> nids = NidsOf(session, visit.folder);
        if (std::find(nids.begin(), nids.end(), nid) == nids.end()) continue;
        for (const NumberedMail& numbered : EnumNumberedMails(session, visit.folder)) {
            if (numbered.nid == nid) return numbered.mail;
        }
    }
    return nullptr;
}

}  // namespace velmora::cli
