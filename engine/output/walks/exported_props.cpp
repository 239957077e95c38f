#include "engine/output/walks/exported_props.h"

#include <vector>

#include "engine/output/walks/record_memory.h"

namespace corvex {

ExportedPropMap* ExportProperties(const PropertyMap& properties,
                                  const ValueFileWriter* writeValueFile) {
    std::vector<PropSource> sources;
    sources.reserve(properties.Size());
    // Value-file paths cross as UTF-16 with their terminating NUL; they are kept
    // here until the map has copied them (reserved, so none of them moves).
    std::vector<std::u16string> paths;
    paths.reserve(properties.Size());
    for (const auto& [id, value] : properties) {
        if (value.inSubnode && writeValueFile != nullptr) {
            paths.push_back((*writeValueFile)(value));
            const std::u16string& path = paths.back();
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(path.c_str());
            sources.push_back(
                {value.id, value.type, true, {bytes, (path.size() + 1) * sizeof(char16_t)}});
        } else {
            sources.push_back({value.id, value.type, false, {value.bytes.data(), value.Size()}});
        }
    }
    return NewPropMap(sources);
}

}  // namespace corvex
