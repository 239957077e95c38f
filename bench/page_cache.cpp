#include "bench/page_cache.h"

#include <fstream>
#include <vector>

namespace velmora::bench {

void WarmPageCache(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    }
}

}  // namespace velmora::bench
