#include "tools/velmora-cli/info_command.h"

#include <iomanip>
#include <ostream>

#include "engine/interface/session_summary.h"
#include "tools/velmora-cli/engine_run.h"

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
        case 0x01: return "internal";
        case 0x02: return "normal folder";
        case 0x03: return "search folder";
        case 0x04: return "normal message";
        case 0x05: return "attachment";
        case 0x06: return "search update queue";
        case 0x07: return "search criteria object";
        case 0x08: return "associated message";
        case 0x0A: return "contents table index";
        case 0x0B: return "receive folder table";
        case 0x0C: return "outgoing queue table";
        case 0x0D: return "hierarchy table";
        case 0x0E: return "contents table";
        case 0x0F: return "associated contents table";
        case 0x10: return "search contents table";
        case 0x11: return "attachment table";
        case 0x12: return "recipient table";
        case 0x13: return "search table index";
        case 0x1F: return "local template";
        default: return "other";
    }
}

corvex::SessionSummary SummaryOf(const EngineRun& run) {
    const EngineSession* session = run.Handle()->session;
    switch (run.Variant()) {
        case EngineVariant::kAnsi:
            return corvex::Summarize<corvex::AnsiTraits>(session);
        case EngineVariant::kUnicode:
            return corvex::Summarize<corvex::UnicodeTraits>(session);
        case EngineVariant::kUnicode4K:
            return corvex::Summarize<corvex::Unicode4KTraits>(session);
    }
    return {};
}

void PrintSummary(const std::filesystem::path& store, const EngineRun& run, const corvex::SessionSummary& summary,
                  std::ostream& out) {
    out << "Store:        " << store.string() << "\n"
        << "wVer:         " << run.Version() << "\n"
        << "Variant:      " << VariantName(run.Variant()) << " (" << LibraryBaseName(run.Variant()) << ")\n"
        << "Crypt method: " << int{summary.cryptMethod} << " (" << CryptMethodName(summary.cryptMethod) << ")\n"
        << "Blocks:       " << summary.blocks << "\n"
        << "Nodes:        " << summary.nodes << "\n";
    for (std::size_t type = 0; type < summary.nodesByType.size(); ++type) {
        if (summary.nodesByType[type] == 0) continue;
        out << "  0x" << std::hex << std::setw(2) << std::setfill('0') << type << std::dec << std::setfill(' ')
            << " " << std::left << std::setw(26) << NidTypeName(type) << std::right << summary.nodesByType[type]
            << "\n";
    }
}

}  // namespace

int RunInfo(const std::filesystem::path& store, std::ostream& out, std::ostream& err) {
    EngineRun run;
    std::string error;
    if (!run.Open(store, error)) {
        err << "velmora-cli: " << error << "\n";
        return 1;
    }
    PrintSummary(store, run, SummaryOf(run), out);
    return 0;
}

}  // namespace velmora::cli
