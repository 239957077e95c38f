// Whole stores as a mail client writes them: the message store, the root
// folder with the top folder below it, folders with their hierarchy and
// contents tables, the name-to-id map, and messages with bodies, recipients
// and attachments. Messages are written as they are added; folders and their
// tables when the store is written, once their contents are known.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "tools/storewriter/message_description.h"
#include "tools/storewriter/store_writer.h"

namespace velmora::storewriter {

constexpr std::uint32_t kTopFolderNid = 0x8022;
constexpr const char* kTopFolderName = "Top of Personal Folders";

class StoreBuilder {
  public:
    explicit StoreBuilder(WriterOptions options, std::string storeName = "Personal Folders");
    ~StoreBuilder();
    StoreBuilder(const StoreBuilder&) = delete;
    StoreBuilder& operator=(const StoreBuilder&) = delete;

    std::uint32_t TopFolder() const { return kTopFolderNid; }
    // Returns the new folder's NID, or 0 when `parent` is no folder of this store.
    std::uint32_t AddFolder(std::uint32_t parent, std::string_view name,
                            std::string_view containerClass = "IPF.Note");
    // Returns the message's NID, or 0 when `folder` is unknown or writing failed.
    std::uint32_t AddMessage(std::uint32_t folder, const MessageSpec& message);

    // Once only, like StoreWriter::WriteTo.
    bool WriteTo(const std::filesystem::path& path, std::string* error);

    StoreWriter& Writer();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velmora::storewriter
