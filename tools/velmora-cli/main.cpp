// velmora-cli: the viewer's store reading, scriptable from a shell. Every
// command drives the engine through the viewer's own binding and data side.
#include <CLI/CLI.hpp>

#include <unistd.h>

#include <exception>
#include <iostream>

#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/convert_command.h"
#include "tools/velmora-cli/dump_command.h"
#include "tools/velmora-cli/info_command.h"
#include "tools/velmora-cli/list_command.h"
#include "tools/velmora-cli/props_command.h"
#include "tools/velmora-cli/render_command.h"
#include "tools/velmora-cli/save_commands.h"
#include "tools/velmora-cli/search_command.h"
#include "tools/velmora-cli/stderr_message_box.h"
#include "tools/velmora-cli/tree_command.h"
#include "viewer/data/rebuild/engine_message_service.h"
#include "viewer/data/work_folder/work_folder.h"

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
    bool full = false;
    std::string query;
    std::size_t limit = 0;
    bool noCache = false;
    std::string format;
    std::string convertFolder;
    bool force = false;
    bool keepRtf = false;
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

struct Commands {
    CLI::App* info;
    CLI::App* tree;
    CLI::App* list;
    CLI::App* dump;
    CLI::App* exportFolder;
    CLI::App* attachment;
    CLI::App* rtf;
    CLI::App* render;
    CLI::App* props;
    CLI::App* search;
    CLI::App* convert;
};

void AddConvertCommand(CLI::App& app, Arguments& args, Commands& c) {
    c.convert = AddStoreCommand(
        app, "convert",
        "Write every item as a standard mail file: one .eml file per item (NNNNN Subject.eml, in "
        "folder order) or one mbox file per folder (FolderName.mbox, mboxrd), in directories "
        "named after the folders. Items that are not mail become messages with their text",
        args);
    c.convert->add_option("--format", args.format, "eml or mbox")
        ->required()
        ->check(CLI::IsMember({"eml", "mbox"}));
    c.convert->add_option("--output", args.output, "Folder to write into (created when missing)")
        ->required();
    c.convert->add_option("--folder", args.convertFolder,
                          std::string("Only this folder and those below it; ") + kNidHelp);
    c.convert->add_flag("--force", args.force, "Write over files that exist");
    c.convert->add_flag("--keep-rtf", args.keepRtf,
                        "Keep an RTF body as an attachment (body.rtf) besides its HTML");
}

int RunConvertCommand(const Arguments& args) {
    velmora::cli::ConvertArguments convert;
    convert.store = args.store;
    convert.output = args.output;
    convert.format = args.format == "mbox" ? velmora::MailFormat::kMbox : velmora::MailFormat::kEml;
    convert.replace = args.force;
    convert.keepRtf = args.keepRtf;
    if (!args.convertFolder.empty()) {
        convert.folderNid = NidArgument(args.convertFolder);
        if (!convert.folderNid) return 2;
    }
    return velmora::cli::RunConvert(convert);
}

Commands AddCommands(CLI::App& app, Arguments& args) {
    Commands c{};
    c.info = AddStoreCommand(app, "info",
                             "Summary: wVer, variant, crypt method, folder and message counts, "
                             "blocks and nodes by NID type",
                             args);
    c.tree = AddStoreCommand(
        app, "tree", "The folder tree, indented, each folder as NAME (MESSAGES) [NID]", args);
    c.list = AddStoreCommand(app, "list",
                             "Every message, one line each: FOLDER PATH, submit time (UTC), "
                             "sender and subject, separated by tabs",
                             args);
    c.list->add_option("--folder", args.folder,
                       std::string("Only this folder and those below it; ") + kNidHelp);
    c.dump =
        AddStoreCommand(app, "dump",
                        "Every folder with its messages: header fields, recipients, attachments "
                        "and SHA-256 digests of attachment data and bodies",
                        args);
    c.dump->add_flag("--json", args.json, "Write JSON to standard output (the only format)")
        ->required();
    c.exportFolder = AddStoreCommand(app, "export",
                                     "The engine's folder export: folders as directories "
                                     "of CSV property files and side files",
                                     args);
    c.exportFolder
        ->add_option("OUTDIR", args.outDir, "Folder to export into (created when missing)")
        ->required();
    c.exportFolder->add_option(
        "--folder", args.folder,
        std::string("Folder NID to export, default the root 0x122; ") + kNidHelp);
    c.attachment =
        AddStoreCommand(app, "attachment",
                        "Write the data of one attachment of a message; an attached message is "
                        "written whole, in Internet message form (.eml)",
                        args);
    c.attachment->add_option("--message", args.message, std::string("Message NID; ") + kNidHelp)
        ->required();
    c.attachment->add_option("--index", args.index, "Attachment position in the message, from 0")
        ->required();
    c.attachment->add_option("--output", args.output, "File to write")->required();
    c.rtf = AddStoreCommand(app, "rtf", "Write the decoded RTF body of a message", args);
    c.rtf->add_option("--message", args.message, std::string("Message NID; ") + kNidHelp)
        ->required();
    c.rtf->add_option("--output", args.output, "File to write")->required();
    c.render = AddStoreCommand(app, "render",
                               "Save a message as the MHTML page the viewer shows for it", args);
    c.render->add_option("--message", args.message, std::string("Message NID; ") + kNidHelp)
        ->required();
    c.render->add_option("--output", args.output, "MHTML file to write (.mht)")->required();
    c.props = AddStoreCommand(app, "props",
                              "Every property of a message, of each recipient and of each "
                              "attachment: tag, name, type and value, as a table",
                              args);
    c.props->add_option("--message", args.message, std::string("Message NID; ") + kNidHelp)
        ->required();
    c.props->add_flag("--json", args.json,
                      "Write JSON instead: {\"message\": [{\"tag\", \"name\", \"type\", "
                      "\"value\"}, ...], \"recipients\": [[...], ...], \"attachments\": "
                      "[[...], ...]}");
    c.props->add_flag("--full", args.full,
                      "Write whole values; without it a value longer than 256 characters is cut "
                      "there and ends in \"\u2026\"");
    c.search = AddStoreCommand(app, "search",
                               "Messages anywhere in the store that match QUERY, newest first: "
                               "folder path, submit time (UTC), sender, subject and NID, "
                               "separated by tabs. The store's index is built or brought up to "
                               "date first, below $XDG_CACHE_HOME/Velmora/index",
                               args);
    c.search
        ->add_option("QUERY", args.query,
                     "Words (any text field), from: to: cc: subject: body: attachment: folder:, "
                     "\"a phrase\", word*, date:YYYY-MM-DD..YYYY-MM-DD (either end open), "
                     "has:attachment, is:unread, is:read, is:important; AND (implied), OR, "
                     "NOT or a leading -, and parentheses. A query that starts with - goes "
                     "after --")
        ->required();
    c.search->add_flag("--json", args.json,
                       "Write a JSON array of {nid, folder, subject, sender, submit_time}");
    c.search->add_option("--limit", args.limit, "At most N hits, the newest (default: all)");
    c.search->add_flag("--no-cache", args.noCache,
                       "Index into a private temporary folder, removed when the command ends");
    AddConvertCommand(app, args, c);
    return c;
}

int RunCommand(const Commands& c, const Arguments& args) {
    namespace cli = velmora::cli;
    if (*c.info) return cli::RunInfo(args.store, std::cout);
    if (*c.tree) return cli::RunTree(args.store, std::cout);
    if (*c.dump) return cli::RunDump(args.store, std::cout);
    if (*c.search) {
        const cli::SearchRequest request{args.store, args.query, args.json, args.limit,
                                         args.noCache};
        return cli::RunSearch(request, std::cout, ::isatty(STDERR_FILENO) ? &std::cerr : nullptr);
    }
    if (*c.list) {
        // The root folder holds the whole store, as when no folder is given.
        const auto folder = NidArgument(args.folder);
        if (!folder) return 2;
        return cli::RunList(args.store, *folder == cli::kRootFolderNid ? std::nullopt : folder,
                            std::cout);
    }
    if (*c.exportFolder) {
        const auto folder = NidArgument(args.folder);
        return folder ? cli::RunExport(args.store, args.outDir, *folder) : 2;
    }
    if (*c.convert) return RunConvertCommand(args);
    const auto message = NidArgument(args.message);
    if (!message) return 2;
    if (*c.attachment) return cli::RunAttachment(args.store, *message, args.index, args.output);
    if (*c.render) return cli::RunRender(args.store, *message, args.output);
    if (*c.props)
        return cli::RunProps(args.store, *message, {.json = args.json, .full = args.full},
                             std::cout);
    return cli::RunRtf(args.store, *message, args.output);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Velmora command-line tool: reads personal-folder stores (ANSI PST, Unicode PST, 4K-page "
        "OST) through "
        "the engine libraries, as the viewer does. Errors are one line on standard error and a "
        "non-zero exit code; a store the engine reports damaged (cut short, say) is read as far as "
        "it can be, and the command then exits with 3. "
        "Each run keeps its scratch and value files in a folder of its own below "
        "$XDG_CACHE_HOME/Velmora/PffTempData "
        "(default ~/.cache, without a home folder velmora-<user id> in the temporary folder) and "
        "removes it, with everything the command wrote there, when the command ends."};
    app.require_subcommand(1);
    Arguments args;
    const Commands commands = AddCommands(app, args);
    CLI11_PARSE(app, argc, argv);

    velmora::cli::StderrMessageBox messageBox(std::cerr);
    velmora::SetMessageBoxHost(&messageBox);
    std::string error;
    if (!velmora::InitWorkFolder(&error)) return velmora::cli::ReportFailure(error);
    // Caught here so that the stack unwinds and the run's scratch folder goes
    // even when a command fails in an unexpected way (an exception that
    // leaves main need not unwind anything).
    try {
        const std::size_t engineMessagesBefore = velmora::EngineMessagesShown();
        return velmora::cli::WithEngineReports(RunCommand(commands, args), engineMessagesBefore);
    } catch (const std::exception& error) {
        return velmora::cli::ReportFailure(error.what());
    }
}
