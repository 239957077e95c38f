#include "tools/velmora-cli/convert_command.h"

#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/folder_visit.h"

namespace velmora::cli {
namespace {

// The folders to convert: the one asked for, else every top folder.
std::optional<std::vector<FolderEntry*>> ChosenFolders(StoreSession& session,
                                                       std::optional<std::uint32_t> nid) {
    std::vector<FolderEntry*> folders;
    const std::vector<FolderVisit> visits = FlattenFolders(session.Roots());
    for (const FolderVisit& visit : visits) {
        if (!nid ? visit.depth == 0 : visit.folder->nidLow == *nid) folders.push_back(visit.folder);
        if (nid && !folders.empty()) break;
    }
    if (nid && folders.empty()) return std::nullopt;
    return folders;
}

std::string FailureText(const OutputFailure& failure) {
    if (failure.exists)
        return failure.path.string() + " exists; nothing was written over it (--force replaces it)";
    return "cannot write " + failure.path.string() + ": " + failure.reason;
}

}  // namespace

int RunConvert(const ConvertArguments& arguments) {
    StoreSession session;
    if (!OpenOrReport(session, arguments.store)) return 1;
    const auto folders = ChosenFolders(session, arguments.folderNid);
    if (!folders)
        return ReportFailure(arguments.store.string() + ": no folder with NID " +
                             NidText(*arguments.folderNid));
    ConversionRequest request;
    request.format = arguments.format;
    request.output = arguments.output;
    request.replace = arguments.replace;
    request.options.keepRtf = arguments.keepRtf;
    request.storeName = arguments.store.filename().string();
    const auto nids = [&session](const FolderEntry& folder) {
        const StoreIndex* index = session.Index();
        return index != nullptr ? index->MessageNids(folder.nidLow) : std::vector<std::uint32_t>{};
    };
    FolderConversion conversion(session.Binding(), std::move(request), nids);
    if (conversion.Convert(*folders) != ConversionEnd::kDone)
        return ReportFailure(FailureText(conversion.Failure()));
    return 0;
}

}  // namespace velmora::cli
