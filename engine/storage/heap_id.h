// Heap identifiers. A HID names an allocation: hidType in bits 0-4 (0 for a
// HID), then the 1-based hidIndex, then hidBlockIndex, the position of the data
// block in the node's heap. How many bits hidIndex takes depends on the variant.
// An HNID is either a HID or, when its low five bits are not zero, a subnode NID.
#pragma once

#include <cstdint>

namespace corvex {

constexpr unsigned kHidTypeBits = 5;
constexpr std::uint32_t kHidTypeMask = (1u << kHidTypeBits) - 1;

template <typename V>
constexpr std::uint32_t HidIndexMask() {
    return ((1u << V::kHidIndexBits) - 1) << kHidTypeBits;
}

template <typename V>
constexpr std::uint32_t HidIndex(std::uint32_t hid) {
    return (hid & HidIndexMask<V>()) >> kHidTypeBits;
}

template <typename V>
constexpr std::uint32_t HidBlockIndex(std::uint32_t hid) {
    return hid >> (kHidTypeBits + V::kHidIndexBits);
}

template <typename V>
constexpr std::uint32_t MakeHid(std::uint32_t blockIndex, std::uint32_t hidIndex) {
    return (blockIndex << (kHidTypeBits + V::kHidIndexBits)) |
           ((hidIndex << kHidTypeBits) & HidIndexMask<V>());
}

constexpr bool IsSubnodeHnid(std::uint32_t hnid) {
    return (hnid & kHidTypeMask) != 0;
}

}  // namespace corvex
