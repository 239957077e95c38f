#include "tools/velmora-cli/info_command.h"

#include <iomanip>
#include <ostream>

#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/folder_visit.h"
#include "viewer/data/binding/store_version.h"

namespace velmora::cli {
namespace {

const char* CryptMethodName(std::uint8_t method) {
    switch (method) {
        case 0:
            return "none";
        case 1:
            return "permutation";
        case 2:
            return "cyclic";
        default:
            return "unknown (blocks used as stored)";
    }
}

const char* NidTypeName(std::size_t type) {
    switch (type) {
        case 0x01:
            return "internal";
        case 0x02:
            return "normal folder";
        case 0x03:
            return "search folder";
        case 0x04:
            return "normal message";
        case 0x05:
            return "attachment";
        case 0x06:
            return "search update queue";
        case 0x07:
            return "search criteria object";
        case 0x08:
            return "associated message";
        case 0x0A:
            return "contents table index";
        case 0x0B:
            return "receive folder table";
        case 0x0C:
            return "outgoing queue table";
        case 0x0D:
            return "hierarchy table";
        case 0x0E:
            return "contents table";
        case 0x0F:
            return "associated contents table";
        case 0x10:
            return "search contents table";
        case 0x11:
            return "attachment table";
        case 0x12:
            return "recipient table";
        case 0x13:
            return "search table index";
        case 0x1F:
            return "local template";
        default:
            return "other";
    }
}

StoreCensus CensusOf(StoreSession& run) {
    const StoreIndex* index = run.Index();
    return index != nullptr ? index->Census() : StoreCensus{};
}

const char* LibraryBaseName(std::uint16_t version) {
    if (version == 14 || version == 15) return "Corvex32";
    return version == 36 ? "Corvex64K" : "Corvex64";
}

struct ItemCounts {
    std::size_t folders = 0;
    std::size_t messages = 0;
};

// Every folder of the tree, and the messages their enumeration hands out.
ItemCounts CountItems(StoreSession& run) {
    ItemCounts counts;
    for (const FolderVisit& visit : FlattenFolders(run.Roots())) {
        ++counts.folders;
        counts.messages += run.MessageCount(visit.folder);
    }
    return counts;
}

void PrintSummary(const std::filesystem::path& store, const StoreSession& run,
                  const StoreCensus& summary, const ItemCounts& counts, std::ostream& out) {
    out << "Store:        " << store.string() << "\n"
        << "wVer:         " << run.Version() << "\n"
        << "Variant:      " << VariantNameForVersion(run.Version()) << " ("
        << LibraryBaseName(run.Version()) << ")\n"
        << "Crypt method: " << int{summary.cryptMethod} << " ("
        << CryptMethodName(summary.cryptMethod) << ")\n"
        << "Folders:      " << counts.folders << "\n"
        << "Messages:     " << counts.messages << "\n"
        << "Blocks:       " << summary.blocks << "\n"
        << "Nodes:        " << summary.nodes << "\n";
    for (std::size_t type = 0; type < summary.nodesByType.size(); ++type) {
        if (summary.nodesByType[type] == 0) continue;
        out << "  0x" << std::hex << std::setw(2) << std::setfill('0') << type << std::dec
            << std::setfill(' ') << " " << std::left << std::setw(26) << NidTypeName(type)
            << std::right << summary.nodesByType[type] << "\n";
    }
}

}  // namespace

int RunInfo(const std::filesystem::path& store, std::ostream& out) {
    StoreSession run;
    if (!OpenOrReport(run, store)) return 1;
    PrintSummary(store, run, CensusOf(run), CountItems(run), out);
    return 0;
}

}  // namespace velmora::cli
