#include "tools/velmora-cli/store_index.h"

#include <algorithm>

#include "engine/storage/context_reader.h"
#include "engine/storage/node_database.h"
#include "engine/storage/on_demand_subnodes.h"
#include "engine/storage/variant_traits.h"

namespace velmora::cli {
namespace {

// A message record holding its own properties, laid out as the engine hands
// them over, so the viewer's getters read it as they read the engine's.
class HeaderRecord {
  public:
    template <typename V>
    HeaderRecord(const corvex::ContextReader<V>& contexts, const corvex::PropertyMap& properties,
                 const std::vector<std::uint16_t>& outOfLineIds) {
        values_.reserve(properties.Size());
        props_.reserve(properties.Size());
        for (const auto& [id, value] : properties) {
            if (value.inSubnode && !Wanted(outOfLineIds, value.id)) continue;
            values_.push_back(value.inSubnode ? contexts.ValueBytes(value) : value.bytes);
            std::vector<std::uint8_t>& bytes = values_.back();
            props_.push_back({value.id, value.type, 0, static_cast<std::uint32_t>(bytes.size()),
                              bytes.empty() ? nullptr : bytes.data()});
        }
        for (ExportedProp& prop : props_) items_.push_back(&prop);
        map_ = {items_.data(), static_cast<std::uint32_t>(items_.size()),
                static_cast<std::uint32_t>(items_.size())};
    }
    HeaderRecord(const HeaderRecord&) = delete;
    HeaderRecord& operator=(const HeaderRecord&) = delete;

    const MailEntry& Mail() const { return mail_; }

  private:
    static bool Wanted(const std::vector<std::uint16_t>& ids, std::uint16_t id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }

    std::vector<std::vector<std::uint8_t>> values_;
    std::vector<ExportedProp> props_;
    std::vector<ExportedProp*> items_;
    ExportedPropMap map_{};
    AttachmentRowList attachments_{};
    RecipientRowList recipients_{};
    MailEntry mail_{&map_, &attachments_, &recipients_};
};

// Every value counts, a repeated id's later ones too: the record holds them all.
bool AnyInSubnode(const corvex::PropertyMap& properties, const std::vector<std::uint16_t>& ids) {
    return std::any_of(properties.begin(), properties.end(), [&](const auto& entry) {
        return entry.second.inSubnode &&
               std::find(ids.begin(), ids.end(), entry.first) != ids.end();
    });
}

template <typename V>
class VariantIndex final : public StoreIndex {
  public:
    bool Open(const std::filesystem::path& store, std::string& error) {
        if (!database_.Open(store.string(), error)) return false;
        database_.Load(corvex::StopToken{}, corvex::NodeDatabase<V>::SubnodeTrees::kOnDemand);
        return true;
    }

    StoreCensus Census() const override {
        StoreCensus census;
        census.cryptMethod = database_.Header().CryptMethod();
        census.blocks = database_.Blocks().map.Size();
        for (const auto& [key, node] : database_.Walker().nodes.All()) {
            ++census.nodes;
            ++census.nodesByType[node->NidType()];
        }
        return census;
    }

    std::vector<std::uint32_t> MessageNids(std::uint32_t folderNid) const override {
        std::vector<std::uint32_t> nids;
        for (const auto& [parent, node] : database_.Walker().messageChildren.EqualRange(folderNid))
            nids.push_back(node->Nid());
        return nids;
    }

    void VisitMessageHeaders(std::uint32_t folderNid,
                             const std::vector<std::uint16_t>& outOfLineIds,
                             const std::function<void(const MailEntry&)>& visit) const override {
        const corvex::ContextReader<V> contexts(database_.Reader());
        for (const auto& [parent, node] :
             database_.Walker().messageChildren.EqualRange(folderNid)) {
            // A line needs a message's subnodes only when its subject or
            // sender's name is long enough to be kept outside the property
            // context, so the index does not read the subnode trees at open.
            const corvex::OnDemandSubnodes<V> subnodes(database_, *node);
            const corvex::PropertyMap properties = contexts.NodeProperties(*node, subnodes);
            if (AnyInSubnode(properties, outOfLineIds)) subnodes.Read();
            const HeaderRecord record(contexts, properties, outOfLineIds);
            visit(record.Mail());
        }
    }

    std::optional<std::uint32_t> NodeType(std::uint32_t nid) const override {
        const corvex::NbtEntry* node = database_.Walker().FindNode(nid);
        if (node == nullptr) return std::nullopt;
        return node->NidType();
    }

  private:
    corvex::NodeDatabase<V> database_;
};

template <typename V>
std::unique_ptr<StoreIndex> OpenVariant(const std::filesystem::path& store, std::string& error) {
    auto index = std::make_unique<VariantIndex<V>>();
    if (!index->Open(store, error)) return nullptr;
    return index;
}

}  // namespace

std::unique_ptr<StoreIndex> StoreIndex::Open(const std::filesystem::path& store,
                                             std::uint16_t version, std::string& error) {
    if (version == 14 || version == 15) return OpenVariant<corvex::AnsiTraits>(store, error);
    if (version == 36) return OpenVariant<corvex::Unicode4KTraits>(store, error);
    return OpenVariant<corvex::UnicodeTraits>(store, error);
}

}  // namespace velmora::cli
