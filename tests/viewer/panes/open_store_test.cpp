// The open command's refusals: each bad choice of file tells the user once,
// in words that name the problem, and adds no store.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "common/path_text.h"
#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/panes/fake_binding.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"

namespace velmora::panes {
namespace {

// A file of `size` bytes with `version` as wVer at offset 10 and "!BDN" at the start.
std::filesystem::path WriteHeader(const std::filesystem::path& path, std::uint16_t version,
                                  std::size_t size) {
    std::string bytes(size, '\0');
    bytes.replace(0, 4, "!BDN");
    if (size >= 12) {
        bytes[10] = static_cast<char>(version & 0xFF);
        bytes[11] = static_cast<char>(version >> 8);
    }
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Which engine the open command binds.
enum class Engine { Real, NoLibraries, FailingOpen };

// An engine that reports the store as unopenable, as the parse export does for
// a file it cannot read.
class FailingOpenBinding : public test::FakeBinding {
  public:
    FailingOpenBinding() : FakeBinding(u"/stores/failing.pst", {}) {}
    int Parse(std::u16string, std::u16string, OpenStatus* status) override {
        status->code = 0;
        const std::u16string text = u"The store cannot be read.";
        std::copy(text.begin(), text.end(), status->text);
        return 0;
    }
};

std::shared_ptr<std::atomic<int>> lastDeletions;

BindingFactory FactoryFor(Engine engine, const std::filesystem::path& emptyFolder) {
    switch (engine) {
        case Engine::NoLibraries:
            return [emptyFolder](std::uint16_t version) {
                return CreateParserForVersion(version, emptyFolder);
            };
        case Engine::FailingOpen:
            return [](std::uint16_t) -> std::unique_ptr<CPFFDataParserInterFace> {
                auto binding = std::make_unique<FailingOpenBinding>();
                lastDeletions = binding->deletions;
                return binding;
            };
        default:
            return [](std::uint16_t version) {
                return CreateParserForVersion(version, test::LibraryDir());
            };
    }
}

struct BadChoice {
    const char* name;
    std::function<std::filesystem::path(const test::ScratchDir&)> make;
    Engine engine;
    const char* messagePart;
};

void PrintTo(const BadChoice& choice, std::ostream* out) {
    *out << choice.name;
}

class OpenRefusalTest : public ::testing::TestWithParam<BadChoice> {};

TEST_P(OpenRefusalTest, TellsTheUserOnceAndAddsNoStore) {
    const BadChoice& choice = GetParam();
    test::ScratchDir scratch;
    test::ScratchDir emptyLibraries;
    const std::filesystem::path path = choice.make(scratch);
    if (path.empty()) GTEST_SKIP() << "not possible here";

    test::RecordingMessageHost messages;
    CClassView view;
    view.SetOpenContext(
        {FactoryFor(choice.engine, emptyLibraries.Path()), DialogRunner(&view), GetWorkFolder()});
    EXPECT_FALSE(view.OpenStore(QString::fromStdString(path.string())));
    EXPECT_EQ(view.Tree().Stores().rowCount(), 0);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find(choice.messagePart), std::string::npos) << messages.texts[0];
    // A store the engine could not open is released again, once.
    if (choice.engine == Engine::FailingOpen) {
        EXPECT_EQ(lastDeletions->load(), 1);
    }
}

std::filesystem::path CorpusStorePath(const char* name) {
    return test::CorpusAvailable() ? test::CorpusFile(name) : std::filesystem::path();
}

INSTANTIATE_TEST_SUITE_P(
    Choices, OpenRefusalTest,
    ::testing::Values(
        BadChoice{"VersionAboveRange",
                  [](const test::ScratchDir& d) { return WriteHeader(d / "v37.pst", 37, 4096); },
                  Engine::Real, "Unsupported store format version 37"},
        BadChoice{"VersionInRangeWithoutEngine",
                  [](const test::ScratchDir& d) { return WriteHeader(d / "v20.pst", 20, 4096); },
                  Engine::Real, "Unsupported store format version 20"},
        BadChoice{"TooShortForAVersion",
                  [](const test::ScratchDir& d) { return WriteHeader(d / "short.pst", 23, 6); },
                  Engine::Real, "Unsupported store format version 0"},
        BadChoice{"Pipe",
                  [](const test::ScratchDir& d) {
                      const auto path = d / "pipe.pst";
                      return ::mkfifo(path.c_str(), 0600) == 0 ? path : std::filesystem::path();
                  },
                  Engine::Real, "not a regular file"},
        BadChoice{"Folder", [](const test::ScratchDir& d) { return d.Path(); }, Engine::Real,
                  "is a folder"},
        BadChoice{"Missing", [](const test::ScratchDir& d) { return d / "gone.pst"; }, Engine::Real,
                  "No such file"},
        BadChoice{"Unreadable",
                  [](const test::ScratchDir& d) {
                      const auto path = WriteHeader(d / "locked.pst", 23, 4096);
                      ::chmod(path.c_str(), 0);
                      // Whoever may read anything is not refused.
                      return ::access(path.c_str(), R_OK) == 0 ? std::filesystem::path() : path;
                  },
                  Engine::Real, "Permission denied"},
        BadChoice{"EngineLibraryMissing",
                  [](const test::ScratchDir&) { return CorpusStorePath("unicode-basic.pst"); },
                  Engine::NoLibraries, "libCorvex64.so"},
        BadChoice{"StoreTheEngineCannotOpen",
                  [](const test::ScratchDir& d) { return WriteHeader(d / "v23.pst", 23, 4096); },
                  Engine::FailingOpen, "The store cannot be read."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::panes
