// Benches time runs on a warm page cache, so that the disk does not count.
#pragma once

#include <filesystem>

namespace velmora::bench {

// Reads a file once so that the timed runs find it in the page cache.
void WarmPageCache(const std::filesystem::path& path);

}  // namespace velmora::bench
