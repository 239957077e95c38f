// Every bound the engine keeps against a damaged or hostile store, in one place:
// how deep it follows a tree, how much it reads or assembles, how far it
// searches. Real stores stay far inside each of them; a file that reaches one is
// read up to the bound and no further, so no input makes the engine recurse,
// loop or allocate without end. Sizes and offsets of the format are not here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvex {

// Trees of the store file.

// B-tree page levels followed: real trees are a handful deep, a longer chain is damage.
inline constexpr int kMaxBTreeDepth = 32;
// Subnode tree levels, nesting included: a message's tree is SIBLOCK over SLBLOCKs, and each
// message attached to another one nests two to four levels more below its attachment.
inline constexpr int kMaxSubnodeDepth = 64;
// Messages attached to messages, followed this deep: forwards of forwards rarely pass a handful.
inline constexpr int kMaxEmbeddedMessageDepth = 16;
// Data tree levels: XXBLOCK -> XBLOCK -> data is the deepest real one, plus a little slack.
inline constexpr int kMaxDataTreeDepth = 4;

// Values assembled from data trees: at most kMinValueCap + kValueToFileRatio * file size.

// A value every store may hold whatever its own size, so a small intact store is never cut short.
inline constexpr std::uint64_t kMinValueCap = 4ull << 20;
// Growth over the file allowed beyond that: a 4K block inflates more only when nearly all one byte.
inline constexpr std::uint64_t kValueToFileRatio = 16;
// Zeros a missing data tree child may stand for: no block's 16-bit size field can claim more.
inline constexpr std::uint64_t kMissingChildPadding = 64ull << 10;

// Subnode trees of the whole store, loaded once when the store opens.

// Entry budget per byte of file: every real subnode entry takes at least this many bytes of it.
inline constexpr std::uint64_t kMinBytesPerSubnodeEntry = 8;
// Entries every store may load whatever its size, so a small intact store loads all of them.
inline constexpr std::uint64_t kSubnodeBudgetFloor = 1 << 16;
// Subnode block bytes read per file byte: each block once, a 4K one inflating 128-fold at most.
template <typename V>
inline constexpr std::uint64_t kSubnodeBytesPerFileByte = V::kCompressed ? 128 : 8;
// Subnode block bytes every store may read whatever its size.
inline constexpr std::uint64_t kSubnodeBytesFloor = 4ull << 20;

// Tables.

// Row search passes over a table's row matrix when rows miss their places: a few, not one per row.
inline constexpr std::size_t kRowScanPasses = 4;
// Row search bytes every table may use besides, so a small damaged table is still searched whole.
inline constexpr std::size_t kRowScanFloorBytes = 4096;

// The folder and message walks and the folder export.

// Folder levels walked and exported: real folder trees are a few deep, a longer chain is damage.
inline constexpr int kMaxFolderDepth = 512;
// Numeric suffixes tried per side file, each a file system probe; real exports need a handful.
inline constexpr unsigned kMaxSideFileSuffix = 1000;
// UTF-16 units kept of a folder name or subject as a directory name, so nested paths stay short.
inline constexpr std::size_t kSafeNameLength = 50;

}  // namespace corvex
