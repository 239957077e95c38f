#include "tools/velmora-cli/message_nids.h"

namespace velmora::cli {
namespace {

template <typename V>
const corvex::FolderWalker& WalkerOf(const ::EngineSession* session) {
    return static_cast<const corvex::Session<V>*>(session)->Database().Walker();
}

template <typename V>
std::vector<std::uint32_t> NidsIn(const ::EngineSession* session, std::uint32_t folderNid) {
    std::vector<std::uint32_t> nids;
    for (const auto& [parent, node] : WalkerOf<V>(session).messageChildren.EqualRange(folderNid)) {
        nids.push_back(node->Nid());
    }
    return nids;
}

template <typename V>
std::optional<std::uint32_t> TypeIn(const ::EngineSession* session, std::uint32_t nid) {
    const corvex::NbtEntry* node = WalkerOf<V>(session).FindNode(nid);
    if (node == nullptr) return std::nullopt;
    return node->NidType();
}

// Calls Fn<Traits> for the variant a store version is read with.
template <template <typename> class Fn, typename... Args>
auto ForVersion(std::uint16_t version, Args... args) {
    if (version == 14 || version == 15) return Fn<corvex::AnsiTraits>::Run(args...);
    if (version == 36) return Fn<corvex::Unicode4KTraits>::Run(args...);
    return Fn<corvex::UnicodeTraits>::Run(args...);
}

template <typename V>
struct NidsRun {
    static std::vector<std::uint32_t> Run(const ::EngineSession* s, std::uint32_t nid) {
        return NidsIn<V>(s, nid);
    }
};

template <typename V>
struct TypeRun {
    static std::optional<std::uint32_t> Run(const ::EngineSession* s, std::uint32_t nid) {
        return TypeIn<V>(s, nid);
    }
};

}  // namespace

std::vector<std::uint32_t> MessageNids(std::uint16_t version, const ::EngineSession* session,
                                       std::uint32_t folderNid) {
    if (session == nullptr) return {};
    return ForVersion<NidsRun>(version, session, folderNid);
}

std::optional<std::uint32_t> NodeType(std::uint16_t version, const ::EngineSession* session,
                                      std::uint32_t nid) {
    if (session == nullptr) return std::nullopt;
    return ForVersion<TypeRun>(version, session, nid);
}

}  // namespace velmora::cli
