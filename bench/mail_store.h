// The mail stores the walk and race benches time: written once with our
// StoreBuilder, kept between runs under a name that says their shape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "tools/storewriter/store_writer.h"

namespace velmora::bench {

// Folders below the top folder; the first holds `bigFolderMessages`, the
// others `smallFolderMessages`. Every message has a plain body, two
// recipients and one attachment.
struct MailStoreShape {
    std::uint32_t folders = 100;
    std::uint32_t bigFolderMessages = 250000;
    std::uint32_t smallFolderMessages = 20;
    std::size_t bodySize = 4096;
    std::size_t attachmentSize = 512;
};

// Where the store of `shape` in `variant` is kept below `folder`.
std::filesystem::path MailStorePath(const std::filesystem::path& folder,
                                    storewriter::Variant variant, const MailStoreShape& shape);

// The store at MailStorePath, written first when it is not there yet; false
// (with the reason on standard error) when it cannot be written.
bool EnsureMailStore(const std::filesystem::path& folder, storewriter::Variant variant,
                     const MailStoreShape& shape);

}  // namespace velmora::bench
