// The store's file header as read at open: kept verbatim, never validated.
// Choosing the library that fits the file is the caller's job; the engine only
// takes the two B-tree roots and the crypt method from it, and the recorded
// file size to tell a file that was cut short.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/little_endian.h"
#include "engine/storage/store_file.h"
#include "engine/storage/variant_traits.h"

namespace corvex {

template <typename V>
class HeaderImage {
  public:
    void Read(const StoreFile& file) {
        file.ReadAt(0, head_.data(), head_.size());
        file.ReadAt(kHeaderHeadSize, tail_.data(), tail_.size());
    }

    std::uint64_t NbtRootIb() const { return Field(V::kNbtRootIbOffset); }
    std::uint64_t BbtRootIb() const { return Field(V::kBbtRootIbOffset); }
    // The file's size as recorded when the store was last written (ibFileEof).
    std::uint64_t RecordedFileSize() const { return Field(V::kFileEofOffset); }
    std::uint8_t CryptMethod() const { return tail_[V::kCryptMethodOffset - kHeaderHeadSize]; }
    std::uint16_t Version() const {
        return common::LoadLE<std::uint16_t>(common::Bytes(head_), 10);
    }

    const std::array<std::uint8_t, kHeaderHeadSize>& Head() const { return head_; }
    const std::array<std::uint8_t, V::kHeaderTailSize>& Tail() const { return tail_; }

  private:
    std::uint64_t Field(std::size_t fileOffset) const {
        return common::LoadWidth(common::Bytes(tail_), fileOffset - kHeaderHeadSize, V::kIdWidth);
    }

    std::array<std::uint8_t, kHeaderHeadSize> head_{};
    std::array<std::uint8_t, V::kHeaderTailSize> tail_{};
};

}  // namespace corvex
