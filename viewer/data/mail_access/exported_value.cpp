#include "viewer/data/mail_access/exported_value.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/path_text.h"
#include "viewer/data/mail_access/value_file_sources.h"

namespace velmora {
namespace {

bool HeldInFile(const ExportedProp& prop) {
    return prop.inFile == 1;
}

// The path of a value file, once the engine has written it; empty when the
// session that named it could not. A value no open session holds (records a
// test made, a file left by an earlier run) is read from its path as it is.
std::u16string WrittenValueFilePath(const ExportedProp& prop) {
    if (EnsureValueFile(prop) == ValueFileState::kFailed) return {};
    return ValueFilePath(prop);
}

}  // namespace

const ExportedProp* FindProp(const ExportedPropMap* map, std::uint16_t id) {
    if (map == nullptr || map->items == nullptr) return nullptr;
    ExportedProp* const* begin = map->items;
    ExportedProp* const* end = map->items + map->count;
    // Ascending by id; a null entry would break the order, so it is searched past linearly.
    const auto found = std::find_if(
        begin, end, [id](const ExportedProp* prop) { return prop != nullptr && prop->id == id; });
    return found != end ? *found : nullptr;
}

std::u16string ValueFilePath(const ExportedProp& prop) {
    std::u16string path;
    for (std::uint32_t i = 0; i + 1 < prop.byteCount && prop.bytes != nullptr; i += 2) {
        const auto unit = static_cast<char16_t>(prop.bytes[i] | (prop.bytes[i + 1] << 8));
        if (unit == u'\0') break;
        path += unit;
    }
    return path;
}

bool ReadValueFile(const ExportedProp& prop, std::vector<std::uint8_t>& content) {
    const std::u16string path = WrittenValueFilePath(prop);
    return !path.empty() && ReadWholeFile(path, content);
}

std::vector<std::uint8_t> ValueBytes(const ExportedProp& prop) {
    std::vector<std::uint8_t> bytes;
    if (HeldInFile(prop)) {
        if (!ReadValueFile(prop, bytes)) bytes.clear();
    } else if (prop.bytes != nullptr) {
        bytes.assign(prop.bytes, prop.bytes + prop.byteCount);
    }
    return bytes;
}

std::vector<std::uint8_t> ValuePrefix(const ExportedProp& prop, std::size_t limit) {
    std::vector<std::uint8_t> bytes;
    if (!HeldInFile(prop)) {
        if (prop.bytes != nullptr)
            bytes.assign(prop.bytes, prop.bytes + std::min<std::size_t>(prop.byteCount, limit));
        return bytes;
    }
    std::ifstream file(common::PathFromUtf16(WrittenValueFilePath(prop)),
                       std::ios::binary | std::ios::ate);
    const std::streamoff length = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (length <= 0 || !file.seekg(0)) return bytes;
    bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(length), limit));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return bytes;
}

std::uint64_t ValueSize(const ExportedProp& prop) {
    if (!HeldInFile(prop)) return prop.bytes != nullptr ? prop.byteCount : 0;
    std::error_code error;
    const std::uintmax_t size =
        std::filesystem::file_size(common::PathFromUtf16(WrittenValueFilePath(prop)), error);
    return error ? 0 : size;
}

std::vector<std::uint8_t> ValueBytesTerminated(const ExportedProp& prop) {
    std::vector<std::uint8_t> bytes = ValueBytes(prop);
    bytes.resize(bytes.size() + (HeldInFile(prop) ? 3 : 4), 0);
    return bytes;
}

bool ReadWholeFile(const std::u16string& path, std::vector<std::uint8_t>& content) {
    std::ifstream file(common::PathFromUtf16(path), std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff length = file.tellg();
    if (length < 0 || !file.seekg(0)) return false;
    content.resize(static_cast<std::size_t>(length));
    return length == 0 ||
           static_cast<bool>(file.read(reinterpret_cast<char*>(content.data()), length));
}

bool WriteDataFile(const ExportedProp& prop, const std::u16string& target) {
    std::ofstream file(common::PathFromUtf16(target), std::ios::binary | std::ios::trunc);
    if (!file) return false;
    const std::vector<std::uint8_t> bytes = ValueBytes(prop);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

}  // namespace velmora
