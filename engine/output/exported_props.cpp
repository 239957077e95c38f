#include "engine/output/exported_props.h"

#include <algorithm>

#include "engine/interface/record_memory.h"

namespace corvex {
namespace {

ExportedProp* NewProp(const PropValue& value, const std::uint8_t* bytes, std::uint32_t size, bool inFile) {
    auto* prop = new ExportedProp{value.id, value.type, inFile ? 1 : 0, size, nullptr};
    if (size > 0) {
        prop->bytes = new std::uint8_t[size];
        std::copy_n(bytes, size, prop->bytes);
    }
    return prop;
}

ExportedProp* NewPathProp(const PropValue& value, const std::u16string& path) {
    // The path crosses as UTF-16 with its terminating NUL.
    const auto size = static_cast<std::uint32_t>((path.size() + 1) * sizeof(char16_t));
    std::u16string terminated = path;
    terminated.push_back(u'\0');
    return NewProp(value, reinterpret_cast<const std::uint8_t*>(terminated.data()), size, true);
}

}  // namespace

ExportedPropMap* ExportProperties(const PropertyMap& properties, const ValueFileWriter* writeValueFile) {
    ExportedPropMap* map = NewPropMap();
    for (const auto& [id, value] : properties) {
        if (value.inSubnode && writeValueFile != nullptr) {
            AppendToList(*map, NewPathProp(value, (*writeValueFile)(value)));
        } else {
            AppendToList(*map, NewProp(value, value.bytes.data(), value.Size(), false));
        }
    }
    return map;
}

}  // namespace corvex
