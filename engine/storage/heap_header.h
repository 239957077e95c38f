// The fields of a heap's first block that the context readers use.
#pragma once

#include <cstdint>

#include "common/little_endian.h"

namespace corvex {

constexpr std::uint8_t kClientSigPropertyContext = 0xBC;
constexpr std::uint8_t kClientSigTableContext = 0x7C;

struct HeapHeader {
    std::uint8_t bClientSig = 0;
    std::uint32_t hidUserRoot = 0;

    // A first block shorter than the 8-byte header reads as all zero.
    static HeapHeader Parse(common::Bytes firstBlock) {
        if (firstBlock.size() < 8) return {};
        return {firstBlock[3], common::LoadLE<std::uint32_t>(firstBlock, 4)};
    }
};

}  // namespace corvex
