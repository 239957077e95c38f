// velmora-cli: the viewer's store reading, scriptable from a shell.
#include <CLI/CLI.hpp>

#include <iostream>

#include "tools/velmora-cli/info_command.h"

int main(int argc, char** argv) {
    CLI::App app{"Velmora command-line tool: reads personal-folder stores (PST and OST) through the engine libraries."};
    app.require_subcommand(1);

    std::string infoStore;
    CLI::App* info = app.add_subcommand("info", "Summary of a store: version, variant, crypt method, blocks and nodes by type");
    info->add_option("STORE", infoStore, "Store file (.pst or .ost)")->required();

    CLI11_PARSE(app, argc, argv);
    if (*info) return velmora::cli::RunInfo(infoStore, std::cout, std::cerr);
    return 0;
}
