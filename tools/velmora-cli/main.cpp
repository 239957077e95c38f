// velmora-cli: the viewer's store reading, scriptable from a shell. Every
// command drives the engine through the viewer's own binding and data side.
#include <CLI/CLI.hpp>

#include <iostream>

#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/dump_command.h"
#include "tools/velmora-cli/info_command.h"
#include "tools/velmora-cli/save_commands.h"
#include "tools/velmora-cli/stderr_message_box.h"
#include "tools/velmora-cli/tree_command.h"
#include "viewer/data/work_folder.h"

namespace {

constexpr char kNidHelp[] = "decimal, or hexadecimal with 0x, as `tree` and `dump` show it";

struct Arguments {
    std::string store;
    std::string outDir;
    std::string output;
    std::string folder = "0x122";
    std::string message;
    std::uint32_t index = 0;
    bool json = false;
};

CLI::App* AddStoreCommand(CLI::App& app, const char* name, const char* help, Arguments& args) {
    CLI::App* command = app.add_subcommand(name, help);
    command->add_option("STORE", args.store, "Store file (.pst or .ost)")->required();
    return command;
}

// A NID option's value, or a reported failure.
std::optional<std::uint32_t> NidArgument(const std::string& text) {
    const auto nid = velmora::cli::ParseNid(text);
    if (!nid) velmora::cli::ReportFailure("not a NID: " + text);
    return nid;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Velmora command-line tool: reads personal-folder stores (ANSI PST, Unicode PST, 4K-page OST) through "
        "the engine libraries, as the viewer does. Errors are one line on standard error and a non-zero exit code. "
        "Scratch and value files go to $XDG_CACHE_HOME/Velmora/PffTempData (default ~/.cache)."};
    app.require_subcommand(1);
    Arguments args;

    CLI::App* info = AddStoreCommand(app, "info", "Summary: wVer, variant, crypt method, folder and message counts, "
                                                  "blocks and nodes by NID type", args);
    CLI::App* tree = AddStoreCommand(app, "tree", "The folder tree, indented, each folder as NAME (MESSAGES) [NID]",
                                     args);
    CLI::App* dump = AddStoreCommand(app, "dump", "Folders below the top folder with every message's subject, "
                                                  "sender, submit time (UTC), recipients, attachments and bodies",
                                     args);
    dump->add_flag("--json", args.json, "Write JSON to standard output (the only format)")->required();
    CLI::App* exportCommand = AddStoreCommand(app, "export", "The engine's folder export: folders as directories "
                                                             "of CSV property files and side files", args);
    exportCommand->add_option("OUTDIR", args.outDir, "Folder to export into (created when missing)")->required();
    exportCommand->add_option("--folder", args.folder, std::string("Folder NID to export, default the root 0x122; ") + kNidHelp);
    CLI::App* attachment = AddStoreCommand(app, "attachment", "Write the data of one attachment of a message", args);
    attachment->add_option("--message", args.message, std::string("Message NID; ") + kNidHelp)->required();
    attachment->add_option("--index", args.index, "Attachment position in the message, from 0")->required();
    attachment->add_option("--output", args.output, "File to write")->required();
    CLI::App* rtf = AddStoreCommand(app, "rtf", "Write the decoded RTF body of a message", args);
    rtf->add_option("--message", args.message, std::string("Message NID; ") + kNidHelp)->required();
    rtf->add_option("--output", args.output, "File to write")->required();

    CLI11_PARSE(app, argc, argv);

    velmora::cli::StderrMessageBox messageBox(std::cerr);
    velmora::SetMessageBoxHost(&messageBox);
    velmora::InitWorkFolder();
    namespace cli = velmora::cli;
    if (*info) return cli::RunInfo(args.store, std::cout);
    if (*tree) return cli::RunTree(args.store, std::cout);
    if (*dump) return cli::RunDump(args.store, std::cout);
    if (*exportCommand) {
        const auto folder = NidArgument(args.folder);
        return folder ? cli::RunExport(args.store, args.outDir, *folder) : 2;
    }
    const auto message = NidArgument(args.message);
    if (!message) return 2;
    if (*attachment) return cli::RunAttachment(args.store, *message, args.index, args.output);
    return cli::RunRtf(args.store, *message, args.output);
}
