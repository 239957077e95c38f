// Feeds arbitrary bytes to the store engine as a store file of one variant
// (chosen at build time by VELMORA_FUZZ_VARIANT) and runs what the viewer runs
// when it opens a mailbox: create, parse, the all-folders enumeration, the
// message enumeration of the folders, and delete. Each input gets its own
// scratch root in memory-backed storage, removed afterwards, because the engine
// writes value files below it.
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/utf16_text.h"
#include "engine/storage/variant_traits.h"
#include "fuzz/input_folder.h"
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

std::u16string Utf16Path(const fs::path& path) {
    return common::Utf8ToUtf16(path.string());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInputSize) return 0;
    const velmora::fuzz::InputFolder scratch("fuzz");
    const std::u16string store = Utf16Path(scratch.WriteStore(data, size));
    const std::u16string temp = Utf16Path(scratch.Folder("temp"));
    velmora::fuzz::StoreWalk<Variant>(velmora::fuzz::WalkLimits{}).Run(store, temp);
    return 0;
}
