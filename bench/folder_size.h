// How many bytes the files below a folder hold, for index sizes.
#pragma once

#include <cstdint>
#include <filesystem>

namespace velmora::bench {

inline std::uintmax_t FolderBytes(const std::filesystem::path& folder) {
    std::uintmax_t total = 0;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error)) total += it->file_size(error);
    }
    return total;
}

}  // namespace velmora::bench
