#include "tools/velmora-cli/engine_run.h"

#include <cstdlib>

#include "engine/interface/utf16_text.h"

namespace velmora::cli {
namespace {

const char* CreateExportName(EngineVariant variant) {
    switch (variant) {
        case EngineVariant::kAnsi:
            return "_ExpCreatePFF32Object";
        case EngineVariant::kUnicode:
            return "_ExpCreatePFF64Object";
        case EngineVariant::kUnicode4K:
            return "_ExpCreatePFF64P4KObject";
    }
    return "";
}

const char* ParseExportName(EngineVariant variant) {
    return variant == EngineVariant::kAnsi ? "_ExpParsePFF32" : "_ExpParsePFF64";
}

std::u16string ToUtf16(const std::filesystem::path& path) { return corvex::Utf8ToUtf16(path.string()); }

}  // namespace

std::filesystem::path CliWorkFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path base = cache != nullptr && *cache != '\0' ? std::filesystem::path(cache)
                                 : home != nullptr                  ? std::filesystem::path(home) / ".cache"
                                                                    : std::filesystem::temp_directory_path();
    return base / "Velmora";
}

EngineRun::~EngineRun() {
    if (handle_ == nullptr) return;
    if (auto remove = library_.FindAs<CorvexDeleteFn>("_ExpDeletePFFData")) remove(handle_, nullptr);
}

bool EngineRun::LoadLibrary(std::string& error) {
    const std::string file = PlatformLibraryName(LibraryBaseName(variant_));
    if (!library_.Load(ProgramLibraryFolder() / file)) {
        error = "cannot load engine library " + file + ": " + library_.Error();
        return false;
    }
    return true;
}

bool EngineRun::Open(const std::filesystem::path& store, std::string& error) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(store, ignored)) {
        error = "cannot open " + store.string() + ": no such file";
        return false;
    }
    const auto version = ReadStoreVersion(store);
    if (!version) {
        error = "cannot read " + store.string() + ": file too short to be a store";
        return false;
    }
    version_ = *version;
    const auto variant = VariantForVersion(version_);
    if (!variant) {
        error = store.string() + ": unsupported store version " + std::to_string(version_);
        return false;
    }
    variant_ = *variant;
    if (!LoadLibrary(error)) return false;
    auto create = library_.FindAs<CorvexCreateFn>(CreateExportName(variant_));
    auto parse = library_.FindAs<CorvexParseFn>(ParseExportName(variant_));
    if (create == nullptr || parse == nullptr) {
        error = "engine library " + LibraryBaseName(variant_) + " lacks its create or parse entry";
        return false;
    }
    const std::filesystem::path work = CliWorkFolder();
    std::filesystem::create_directories(work, ignored);
    OpenStatus status{};
    status.code = 1;
    create(ToUtf16(store).c_str(), &handle_, ToUtf16(work).c_str(), &status);
    parse(ToUtf16(store).c_str(), handle_, ToUtf16(work).c_str(), &status);
    if (status.code == 0) {
        error = "cannot open " + store.string() + ": " + corvex::Utf16ToUtf8(status.text);
        return false;
    }
    return true;
}

}  // namespace velmora::cli
