#include "engine/storage/tc_info.h"

#include <algorithm>

namespace corvex {
namespace {
constexpr std::size_t kFixedSize = 22;
constexpr std::size_t kColumnSize = 8;
constexpr std::size_t kRowLengthOffset = 8;  // rgib[TCI_bm]
}  // namespace

TcInfo TcInfo::Parse(common::Bytes bytes) {
    TcInfo info;
    if (bytes.size() < kFixedSize) return info;
    info.rowLength = common::LoadLE<std::uint16_t>(bytes, kRowLengthOffset);
    info.hidRowIndex = common::LoadLE<std::uint32_t>(bytes, 10);
    info.hnidRows = common::LoadLE<std::uint32_t>(bytes, 14);
    const std::size_t fitting = (bytes.size() - kFixedSize) / kColumnSize;
    const std::size_t count = std::min<std::size_t>(bytes[1], fitting);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kFixedSize + i * kColumnSize;
        info.columns.push_back({common::LoadLE<std::uint16_t>(bytes, at),
                                common::LoadLE<std::uint16_t>(bytes, at + 2),
                                common::LoadLE<std::uint16_t>(bytes, at + 4), bytes[at + 6]});
    }
    return info;
}

}  // namespace corvex
