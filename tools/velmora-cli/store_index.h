// What the tool reads from the store file itself, with the engine's static core
// linked into the tool: the node census `info` prints and the NIDs of a
// folder's messages (the records the libraries hand out carry no NID). The
// handles of the loaded libraries stay opaque; this is a second, independent
// read of the same file, made only by the commands that need it.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora::cli {

struct StoreCensus {
    std::uint8_t cryptMethod = 0;
    std::uint64_t blocks = 0;
    std::uint64_t nodes = 0;
    std::array<std::uint64_t, 32> nodesByType{};  // indexed by NID type
};

class StoreIndex {
  public:
    // Reads the file's B-trees with the variant of store version `version`;
    // null with the system's message in `error` when the file cannot be opened.
    static std::unique_ptr<StoreIndex> Open(const std::filesystem::path& store,
                                            std::uint16_t version, std::string& error);
    virtual ~StoreIndex() = default;

    virtual StoreCensus Census() const = 0;
    // The NIDs of the folder's messages, in the order the message enumeration
    // hands the messages out.
    virtual std::vector<std::uint32_t> MessageNids(std::uint32_t folderNid) const = 0;
    // Calls `visit` with each message of the folder, in the order the message
    // enumeration hands them out, as a record of the message's own properties
    // alone: no attachment or recipient rows. Of the values held outside the
    // property context only those of `outOfLineIds` are read (in place, not
    // into value files); the others, bodies above all, are left out. The
    // record lives for the call. For commands that print a few header fields.
    virtual void VisitMessageHeaders(std::uint32_t folderNid,
                                     const std::vector<std::uint16_t>& outOfLineIds,
                                     const std::function<void(const MailEntry&)>& visit) const = 0;
    // The NID type of a node the store holds, or nothing when it has no such node.
    virtual std::optional<std::uint32_t> NodeType(std::uint32_t nid) const = 0;
};

}  // namespace velmora::cli
