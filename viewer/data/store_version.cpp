#include "viewer/data/store_version.h"

#include <fstream>

namespace velmora {

std::optional<std::uint16_t> ReadStoreVersion(const std::filesystem::path& store) {
    std::ifstream file(store, std::ios::binary);
    unsigned char bytes[2] = {};
    if (!file.seekg(10) || !file.read(reinterpret_cast<char*>(bytes), 2)) return std::nullopt;
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::optional<EngineVariant> VariantForVersion(std::uint16_t version) {
    switch (version) {
        case 14:
        case 15:
            return EngineVariant::kAnsi;
        case 21:
        case 23:
            return EngineVariant::kUnicode;
        case 36:
            return EngineVariant::kUnicode4K;
        default:
            return std::nullopt;
    }
}

std::string LibraryBaseName(EngineVariant variant) {
    switch (variant) {
        case EngineVariant::kAnsi:
            return "Corvex32";
        case EngineVariant::kUnicode:
            return "Corvex64";
        case EngineVariant::kUnicode4K:
            return "Corvex64K";
    }
    return {};
}

std::string VariantName(EngineVariant variant) {
    switch (variant) {
        case EngineVariant::kAnsi:
            return "ANSI";
        case EngineVariant::kUnicode:
            return "Unicode";
        case EngineVariant::kUnicode4K:
            return "Unicode 4K";
    }
    return {};
}

}  // namespace velmora
