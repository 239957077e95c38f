#include "tools/velmora-cli/message_locator.h"

#include <algorithm>

#include "tools/velmora-cli/folder_visit.h"
#include "tools/velmora-cli/message_nids.h"

namespace velmora::cli {
namespace {

std::vector<std::uint32_t> NidsOf(const StoreSession& session, const FolderEntry* folder) {
    return MessageNids(session.Version(), session.Handle()->session, folder->nidLow);
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
