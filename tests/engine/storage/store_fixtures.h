// Opening stores with the static engine core, and copying corpus files to
// scratch folders before damaging them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/storage/node_database.h"

namespace velmora::test {

template <typename V>
std::unique_ptr<corvex::NodeDatabase<V>> OpenStore(const std::filesystem::path& path) {
    auto database = std::make_unique<corvex::NodeDatabase<V>>();
    std::string error;
    if (!database->Open(path.string(), error)) return nullptr;
    database->Load(corvex::StopToken{});
    return database;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace velmora::test
