#include "tests/support/test_paths.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <random>

#include <unistd.h>

namespace velmora::test {

std::filesystem::path CorpusDir() {
    return VELMORA_CORPUS_DIR;
}
std::filesystem::path FormatDir() {
    return VELMORA_FORMAT_DIR;
}
std::filesystem::path LibraryDir() {
    return VELMORA_LIBRARY_DIR;
}

bool CorpusAvailable() {
    return std::filesystem::exists(CorpusDir() / "unicode-plain.pst");
}

std::filesystem::path CorpusFile(const std::string& name) {
    return CorpusDir() / name;
}

std::string TestNameOf(std::string_view text) {
    std::string name(text);
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
}

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("velmora-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
             std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace velmora::test
