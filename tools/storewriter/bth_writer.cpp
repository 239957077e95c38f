#include "tools/storewriter/bth_writer.h"

#include <algorithm>
#include <vector>

#include "common/little_endian.h"

namespace velmora::storewriter {
namespace {

constexpr std::size_t kHidSize = 4;

// Writes `records` in allocations of as many whole records as fit, and returns
// the next level up: each allocation's first key followed by its HID.
std::vector<std::uint8_t> WriteLevel(HeapWriter& heap, std::size_t keySize, std::size_t recordSize,
                                     std::span<const std::uint8_t> records) {
    const std::size_t perAllocation = kMaxHeapAllocation / recordSize * recordSize;
    std::vector<std::uint8_t> index;
    for (std::size_t at = 0; at < records.size(); at += perAllocation) {
        const auto chunk = records.subspan(at, std::min(perAllocation, records.size() - at));
        const std::uint32_t hid = heap.Allocate(chunk);
        index.insert(index.end(), chunk.begin(),
                     chunk.begin() + static_cast<std::ptrdiff_t>(keySize));
        index.resize(index.size() + kHidSize);
        common::StoreLE32(index.data() + index.size() - kHidSize, hid);
    }
    return index;
}

}  // namespace

std::uint32_t WriteBth(HeapWriter& heap, BthShape shape, std::span<const std::uint8_t> records) {
    std::uint8_t levels = 0;
    std::uint32_t root = 0;
    if (!records.empty()) {
        std::vector<std::uint8_t> index =
            WriteLevel(heap, shape.cbKey, shape.RecordSize(), records);
        while (index.size() > shape.cbKey + kHidSize) {
            index = WriteLevel(heap, shape.cbKey, shape.cbKey + kHidSize, index);
            ++levels;
        }
        root = common::LoadLE<std::uint32_t>(index, shape.cbKey);
    }
    std::uint8_t header[8] = {kClientSigBth, shape.cbKey, shape.cbEnt, levels, 0, 0, 0, 0};
    common::StoreLE32(header + 4, root);
    return heap.Allocate(header);
}

}  // namespace velmora::storewriter
