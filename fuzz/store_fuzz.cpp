// Feeds arbitrary bytes to the store engine as a store file of one variant
// (chosen at build time by VELMORA_FUZZ_VARIANT) and runs what the viewer runs
// when it opens a mailbox: create, parse, the all-folders enumeration, the
// message enumeration of the folders, and delete. Each input gets its own
// scratch root in memory-backed storage, removed afterwards, because the engine
// writes value files below it.
#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/utf16_text.h"
#include "engine/storage/variant_traits.h"
#include "fuzz/store_walk.h"

namespace {

namespace fs = std::filesystem;

#if VELMORA_FUZZ_VARIANT == 1
using Variant = corvex::AnsiTraits;
#elif VELMORA_FUZZ_VARIANT == 2
using Variant = corvex::UnicodeTraits;
#else
using Variant = corvex::Unicode4KTraits;
#endif

constexpr std::size_t kMaxInputSize = 4u << 20;

fs::path ScratchBase() {
    std::error_code error;
    if (fs::is_directory("/dev/shm", error)) return "/dev/shm";
    return fs::temp_directory_path();
}

// A folder that exists for one input and is removed, with everything the
// engine wrote below it, when the input is done.
class ScratchRoot {
  public:
    ScratchRoot() : path_(ScratchBase() / ("velmora-fuzz-" + std::to_string(::getpid()))) {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
        fs::create_directories(path_ / "temp");
    }
    ~ScratchRoot() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;
    fs::path Store() const { return path_ / "input.store"; }
    fs::path Temp() const { return path_ / "temp"; }

  private:
    fs::path path_;
};

void WriteStore(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::u16string Utf16Path(const fs::path& path) {
    return common::Utf8ToUtf16(path.string());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInputSize) return 0;
    const ScratchRoot scratch;
    WriteStore(scratch.Store(), data, size);
    const std::u16string store = Utf16Path(scratch.Store());
    const std::u16string temp = Utf16Path(scratch.Temp());
    velmora::fuzz::StoreWalk<Variant>(velmora::fuzz::WalkLimits{}).Run(store, temp);
    return 0;
}
