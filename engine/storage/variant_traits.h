// Build-time constants of the three store variants. Every difference between the
// three engine libraries is one of these constants or a layout chosen from them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvex {

// 8-bit strings, 32-bit BIDs and file offsets, 512-byte pages.
struct AnsiTraits {
    static constexpr const char* kName = "ANSI";
    static constexpr const char* kLibraryName = "Corvex32";
    static constexpr bool kWide = false;
    static constexpr bool kCompressed = false;
    static constexpr std::size_t kHeaderTailSize = 488;
    static constexpr std::size_t kFileEofOffset = 168;  // ibFileEof: the file's size when written
    static constexpr std::size_t kNbtRootIbOffset = 188;
    static constexpr std::size_t kBbtRootIbOffset = 196;
    static constexpr std::size_t kCryptMethodOffset = 461;
    static constexpr std::size_t kPageSize = 512;
    static constexpr std::size_t kPageMetaOffset = 496;
    static constexpr std::size_t kPtypeOffset = 500;
    static constexpr bool kWideEntryCounts = false;
    static constexpr std::size_t kIdWidth = 4;           // BID and IB
    static constexpr std::size_t kBlockTrailerSize = 0;  // never read in this variant
    static constexpr std::size_t kBlockAlign = 1;
    static constexpr std::size_t kInternalHeaderSize = 4;  // SLBLOCK / SIBLOCK header
    static constexpr unsigned kHidIndexBits = 11;  // HID: hidIndex bits 5-15, hidBlockIndex 16-31
    static constexpr bool kReportsMissingHeapAllocation = false;
};

// UTF-16 strings, 64-bit BIDs and file offsets, 512-byte pages.
struct UnicodeTraits {
    static constexpr const char* kName = "Unicode";
    static constexpr const char* kLibraryName = "Corvex64";
    static constexpr bool kWide = true;
    static constexpr bool kCompressed = false;
    static constexpr std::size_t kHeaderTailSize = 540;
    static constexpr std::size_t kFileEofOffset = 184;
    static constexpr std::size_t kNbtRootIbOffset = 224;
    static constexpr std::size_t kBbtRootIbOffset = 240;
    static constexpr std::size_t kCryptMethodOffset = 513;
    static constexpr std::size_t kPageSize = 512;
    static constexpr std::size_t kPageMetaOffset = 488;
    static constexpr std::size_t kPtypeOffset = 496;
    static constexpr bool kWideEntryCounts = false;
    static constexpr std::size_t kIdWidth = 8;
    static constexpr std::size_t kBlockTrailerSize = 0;
    static constexpr std::size_t kBlockAlign = 1;
    static constexpr std::size_t kInternalHeaderSize = 8;
    static constexpr unsigned kHidIndexBits = 11;
    static constexpr bool kReportsMissingHeapAllocation = false;
};

// As Unicode, with 4096-byte pages, blocks on 512-byte boundaries that end in a
// 24-byte trailer, and zlib-compressed block data.
struct Unicode4KTraits {
    static constexpr const char* kName = "Unicode 4K";
    static constexpr const char* kLibraryName = "Corvex64K";
    static constexpr bool kWide = true;
    static constexpr bool kCompressed = true;
    static constexpr std::size_t kHeaderTailSize = 540;
    static constexpr std::size_t kFileEofOffset = 184;
    static constexpr std::size_t kNbtRootIbOffset = 224;
    static constexpr std::size_t kBbtRootIbOffset = 240;
    static constexpr std::size_t kCryptMethodOffset = 513;
    static constexpr std::size_t kPageSize = 4096;
    static constexpr std::size_t kPageMetaOffset = 4056;
    static constexpr std::size_t kPtypeOffset = 4072;
    static constexpr bool kWideEntryCounts = true;
    static constexpr std::size_t kIdWidth = 8;
    static constexpr std::size_t kBlockTrailerSize = 24;
    static constexpr std::size_t kTrailerCbInflatedOffset = 18;  // the block's size once inflated
    static constexpr std::size_t kBlockAlign = 512;
    static constexpr std::size_t kInternalHeaderSize = 8;
    // 4K stores widen hidIndex to bits 5-18; hidBlockIndex takes bits 19-31.
    static constexpr unsigned kHidIndexBits = 14;
    // Corvex64K tells the user about a heap identifier that names no allocation.
    static constexpr bool kReportsMissingHeapAllocation = true;
};

constexpr std::size_t kHeaderHeadSize = 24;

// NID types (the low five bits of a NID) that the engine indexes.
constexpr std::uint32_t kNidTypeMask = 0x1F;
constexpr std::uint32_t kNidTypeNormalFolder = 0x02;
constexpr std::uint32_t kNidTypeSearchFolder = 0x03;
constexpr std::uint32_t kNidTypeNormalMessage = 0x04;

constexpr std::uint8_t kPtypeNbt = 0x81;
constexpr std::int32_t kStopState = 3;

}  // namespace corvex
