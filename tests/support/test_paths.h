// Where tests find the real store files and the published tables, and scratch
// folders that clean up after themselves.
#pragma once

#include <filesystem>
#include <string>

namespace velmora::test {

std::filesystem::path CorpusDir();
std::filesystem::path FormatDir();
std::filesystem::path LibraryDir();

// The path of a corpus file. Skips the test when the corpus is absent on a
// developer's machine, and fails it in CI, where it must be present.
std::filesystem::path CorpusFile(const std::string& name);
bool CorpusAvailable();

// A store file name as a GoogleTest parameter name: letters and digits kept, the rest "_".
std::string TestNameOf(std::string_view text);

// A fresh, empty folder removed again when the object goes.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace velmora::test

// Use at the start of a test that needs the corpus.
#define VELMORA_REQUIRE_CORPUS()                                                              \
    do {                                                                                      \
        if (!::velmora::test::CorpusAvailable()) {                                            \
            const char* ci = std::getenv("CI");                                               \
            if (ci != nullptr && std::string(ci) == "true") FAIL() << "store corpus missing"; \
            GTEST_SKIP() << "store corpus missing";                                           \
        }                                                                                     \
    } while (0)
