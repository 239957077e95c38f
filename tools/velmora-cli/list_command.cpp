#include "tools/velmora-cli/list_command.h"

#include <ostream>
#include <string>

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/folder_visit.h"
#include "tools/velmora-cli/mail_json.h"
#include "tools/velmora-cli/store_index.h"
#include "viewer/data/mail_access/record_getters.h"

namespace velmora::cli {
namespace {

std::string Field(const std::u16string& text) {
    return LineField(common::Utf16ToUtf8(text));
}

// The visits of the folder with `nid` and of those below it: in depth-first
// order they follow it until the walk comes back to its depth.
std::vector<FolderVisit> Subtree(std::vector<FolderVisit> visits, std::uint32_t nid) {
    std::size_t first = 0;
    while (first < visits.size() && visits[first].folder->nidLow != nid) ++first;
    std::size_t end = first + 1;
    while (end < visits.size() && visits[end].depth > visits[first].depth) ++end;
    if (first == visits.size()) return {};
    return {visits.begin() + static_cast<std::ptrdiff_t>(first),
            visits.begin() + static_cast<std::ptrdiff_t>(end)};
}

// The printed texts that may be long enough to be kept outside the property
// context; the date and the code page never are.
const std::vector<std::uint16_t> kLongFields = {common::prop::kSubject, common::prop::kSenderName};

}  // namespace

int RunList(const std::filesystem::path& store, std::optional<std::uint32_t> folderNid,
            std::ostream& out) {
    StoreSession session;
    if (!OpenOrReport(session, store)) return 1;
    std::vector<FolderVisit> visits = FlattenFolders(session.Roots());
    if (folderNid) {
        visits = Subtree(std::move(visits), *folderNid);
        if (visits.empty())
            return ReportFailure(store.string() + ": no folder with NID " + NidText(*folderNid));
    }
    // The lines need each message's own properties only: they are read from
    // the file directly, so listing writes no value files and reads no bodies,
    // attachments or recipients.
    const StoreIndex* index = session.Index();
    if (index == nullptr) return ReportFailure("cannot read " + store.string() + " again");
    for (const FolderVisit& visit : visits) {
        const std::string path = Field(visit.path);
        index->VisitMessageHeaders(visit.folder->nidLow, kLongFields, [&](const MailEntry& mail) {
            out << path << '\t' << SubmitTimeUtc(&mail) << '\t' << Field(MailSenderName(&mail))
                << '\t' << Field(MailSubject(&mail)) << '\n';
        });
    }
    return 0;
}

}  // namespace velmora::cli
