#include "tools/storewriter/store_builder.h"

#include <unordered_map>

#include "tools/storewriter/folder_writer.h"
#include "tools/storewriter/message_writer.h"
#include "tools/storewriter/store_nodes.h"
#include "tools/storewriter/synthetic_store.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint32_t kFolderType = 0x02;
constexpr std::uint32_t kMessageType = 0x04;
constexpr std::uint32_t kFirstFolderIndex = 0x402;
constexpr std::uint32_t kFirstMessageIndex = 0x10000;

StoreUid UidFor(const std::string& name) {
    StoreUid uid{};
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (std::size_t i = 0; i < uid.size(); ++i) {
        for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
        h = (h ^ i) * 0x100000001B3ull;
        uid[i] = static_cast<std::uint8_t>(h >> 24);
    }
    return uid;
}

}  // namespace

struct StoreBuilder::State {
    State(WriterOptions options, std::string name)
        : writer(options), layout(LayoutFor(options.variant)), storeName(std::move(name)) {}

    FolderRecord& NewFolder(std::uint32_t nid, std::uint32_t parent, std::string_view name,
                            std::string_view cls) {
        order.push_back(nid);
        FolderRecord& folder = folders[nid];
        folder = {nid, parent, std::string(name), std::string(cls), {}, {}};
        return folder;
    }

    bool WriteNode(std::uint32_t nid, const NodeContent& content, std::uint32_t parent) {
        const NodeBids bids = WriteNodeContent(writer, content);
        if (bids.data == 0) return false;
        writer.AddNode(nid, bids.data, bids.sub, parent);
        return true;
    }

    bool WriteFolder(const FolderRecord& folder);
    bool WriteStoreNodes();

    StoreWriter writer;
    const VariantLayout& layout;
    std::string storeName;
    std::unordered_map<std::uint32_t, FolderRecord> folders;
    std::vector<std::uint32_t> order;  // folders in the order they were added
    std::uint32_t nextFolderIndex = kFirstFolderIndex;
    std::uint32_t nextMessageIndex = kFirstMessageIndex;
    bool failed = false;
};

bool StoreBuilder::State::WriteFolder(const FolderRecord& folder) {
    std::vector<const FolderRecord*> children;
    children.reserve(folder.children.size());
    for (const std::uint32_t child : folder.children) children.push_back(&folders.at(child));
    return WriteNode(folder.nid, BuildFolderProperties(layout, folder), folder.parent) &&
           WriteNode(FolderTableNid(folder.nid, kHierarchyTableType),
                     BuildHierarchyTable(layout, children), 0) &&
           WriteNode(FolderTableNid(folder.nid, kContentsTableType),
                     BuildContentsTable(layout, folder.messages), 0) &&
           WriteNode(FolderTableNid(folder.nid, kAssociatedContentsTableType),
                     BuildContentsTable(layout, {}), 0);
}

bool StoreBuilder::State::WriteStoreNodes() {
    const StoreUid uid = UidFor(storeName);
    return WriteNode(kMessageStoreNid, BuildMessageStore(layout, storeName, uid, kTopFolderNid),
                     0) &&
           WriteNode(kNameToIdMapNid, BuildNameToIdMap(layout, uid), 0);
}

StoreBuilder::StoreBuilder(WriterOptions options, std::string storeName)
    : state_(std::make_unique<State>(std::move(options), std::move(storeName))) {
    state_->NewFolder(kRootFolderNid, kRootFolderNid, "", "");
    state_->NewFolder(kTopFolderNid, kRootFolderNid, kTopFolderName, "");
    state_->folders.at(kRootFolderNid).children.push_back(kTopFolderNid);
}

StoreBuilder::~StoreBuilder() = default;

StoreWriter& StoreBuilder::Writer() {
    return state_->writer;
}

std::uint32_t StoreBuilder::AddFolder(std::uint32_t parent, std::string_view name,
                                      std::string_view containerClass) {
    const auto it = state_->folders.find(parent);
    if (it == state_->folders.end()) return 0;
    const std::uint32_t nid = (state_->nextFolderIndex++ << 5) | kFolderType;
    it->second.children.push_back(nid);
    state_->NewFolder(nid, parent, name, containerClass);
    return nid;
}

std::uint32_t StoreBuilder::AddMessage(std::uint32_t folder, const MessageSpec& message) {
    const auto it = state_->folders.find(folder);
    if (it == state_->folders.end()) return 0;
    const std::uint32_t nid = (state_->nextMessageIndex++ << 5) | kMessageType;
    if (!state_->WriteNode(nid, BuildMessageContent(state_->layout, message), folder)) {
        state_->failed = true;
        return 0;
    }
    it->second.messages.push_back(
        {nid, MessageSummary(state_->layout, message), (message.flags & kMessageFlagRead) == 0});
    return nid;
}

bool StoreBuilder::WriteTo(const std::filesystem::path& path, std::string* error) {
    State& s = *state_;
    bool written = !s.failed && s.WriteStoreNodes();
    for (const std::uint32_t nid : s.order) written = written && s.WriteFolder(s.folders.at(nid));
    std::string failure;
    const bool committed = s.writer.WriteTo(path, &failure);
    if (failure.empty() && !written) failure = "cannot build the store";
    if (error != nullptr) *error = failure;
    return committed && written;
}

}  // namespace velmora::storewriter
