#include "engine/output/walks/exported_props.h"

namespace corvex {

ExportedPropSources::ExportedPropSources(const PropertyMap& properties,
                                         const ValueFileWriter* writeValueFile) {
    sources_.reserve(properties.Size());
    // Value-file paths cross as UTF-16 with their terminating NUL. Reserved, so
    // that no path moves while the props point at it.
    paths_.reserve(properties.Size());
    for (const auto& [id, value] : properties) {
        if (value.inSubnode && writeValueFile != nullptr) {
            paths_.push_back((*writeValueFile)(value));
            const std::u16string& path = paths_.back();
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(path.c_str());
            sources_.push_back(
                {value.id, value.type, true, {bytes, (path.size() + 1) * sizeof(char16_t)}});
        } else {
            sources_.push_back({value.id, value.type, false, {value.bytes.data(), value.Size()}});
        }
    }
}

ExportedPropMap* ExportProperties(const PropertyMap& properties,
                                  const ValueFileWriter* writeValueFile) {
    return NewPropMap(ExportedPropSources(properties, writeValueFile).Props());
}

}  // namespace corvex
