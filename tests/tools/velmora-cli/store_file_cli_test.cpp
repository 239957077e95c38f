// velmora-cli itself, run as a user runs it, on store files that are not what
// they seem: a store cut short prints what can still be read, says why it is
// incomplete and exits with 3; a store whose name is no UTF-8 opens as any other.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/tools/velmora-cli/cli_fixture.h"
#include "tools/velmora-cli/command_support.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs the tool with `args` as they are, bytes and all, without a shell.
CliRun RunCli(const std::vector<std::string>& args) {
    const ScratchDir streams;
    const fs::path out = streams / "out";
    const fs::path err = streams / "err";
    const pid_t child = ::fork();
    if (child == 0) {
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        std::vector<char*> argv{const_cast<char*>(VELMORA_CLI_PROGRAM)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(VELMORA_CLI_PROGRAM, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileText(out), FileText(err)};
}

fs::path CopyOf(const fs::path& original, const fs::path& copy, std::size_t bytes) {
    std::ifstream in(original, std::ios::binary);
    std::string data(bytes, '\0');
    in.read(data.data(), static_cast<std::streamsize>(bytes));
    std::ofstream(copy, std::ios::binary) << data;
    return copy;
}

TEST_F(CliTest, StoreCutShortPrintsWhatRemainsAndExitsWithThree) {
    VELMORA_REQUIRE_CORPUS();
    const struct {
        const char* store;
        const char* library;
    } stores[] = {
        {"ansi-many-items.pst", "Corvex32"},
        {"unicode-cyclic.pst", "Corvex64"},
        {"ost4k/unicode-cyclic.ost", "Corvex64K"},
    };
    const std::vector<std::vector<std::string>> commands = {
        {"info"}, {"tree"}, {"list"}, {"dump", "--json"}};
    const ScratchDir scratch;
    for (const auto& s : stores) {
        const fs::path original = CorpusFile(s.store);
        const std::size_t size = fs::file_size(original);
        for (std::vector<std::string> args : commands) {
            args.insert(args.begin() + 1, original.string());
            const CliRun intact = RunCli(args);
            EXPECT_EQ(intact.exitCode, 0) << s.store << " " << args.front() << ": " << intact.err;
            EXPECT_EQ(intact.err, "");
        }
        for (const std::size_t cut : {size / 3, size - 512}) {
            const std::string path = CopyOf(original, scratch / "cut.store", cut).string();
            const std::string told = std::string(s.library) +
                                     ": The file is shorter than its header says (" +
                                     std::to_string(cut) + " of " + std::to_string(size) +
                                     " bytes); it may be cut off\n";
            for (std::vector<std::string> args : commands) {
                SCOPED_TRACE(std::string(s.store) + " cut to " + std::to_string(cut) + ", " +
                             args.front());
                args.insert(args.begin() + 1, path);
                const CliRun run = RunCli(args);
                EXPECT_EQ(run.exitCode, cli::kDamagedStoreExit);
                EXPECT_EQ(run.err, told +
                                       "velmora-cli: the engine reported damage above; the output "
                                       "holds only what could be read\n");
                if (args.front() == "info") {
                    EXPECT_NE(run.out.find("Variant:"), std::string::npos);
                }
            }
        }
    }
}

TEST_F(CliTest, StoreNamedInLatin1Opens) {
    VELMORA_REQUIRE_CORPUS();
    const ScratchDir scratch;
    const fs::path original = CorpusFile("ansi-many-items.pst");
    const fs::path latin1 = scratch /
                            "Gr\xFC\xDF"
                            "e \xE4lter.pst";
    fs::copy_file(original, latin1);
    for (const char* command : {"info", "tree", "list"}) {
        SCOPED_TRACE(command);
        const CliRun run = RunCli({command, latin1.string()});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        std::string expected = RunCli({command, original.string()}).out;
        if (const auto at = expected.find(original.string()); at != std::string::npos)
            expected.replace(at, original.string().size(), latin1.string());
        EXPECT_EQ(run.out, expected);
    }
}

}  // namespace
}  // namespace velmora::test
