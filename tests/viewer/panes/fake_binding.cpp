#include "tests/viewer/panes/fake_binding.h"

#include <deque>
#include <map>

#include "common/property_ids.h"

namespace velmora::test {

// Owns every record of the fake store; pointers into it stay valid.
class FakeRecords {
  public:
    FakeRecords(const std::u16string& storePath, const std::vector<FakeFolder>& roots)
        : path_(storePath) {
        handle_.storePath = path_.data();
        handle_.status = &status_;
        status_.stopWord = &stopWord_;
        handle_.rootFolders = List(roots);
    }

    EngineHandle* Handle() { return &handle_; }

    // Lists the children an unlisted folder holds, as the engine's enumeration does.
    void ListChildren(FolderEntry* folder) {
        auto pending = unlisted_.find(folder);
        if (pending == unlisted_.end()) return;
        folder->children = List(pending->second);
        unlisted_.erase(pending);
    }

  private:
    FolderList* List(const std::vector<FakeFolder>& folders) {
        FolderList& list = lists_.emplace_back();
        std::vector<FolderEntry*>& items = itemArrays_.emplace_back();
        for (const FakeFolder& folder : folders) items.push_back(Entry(folder));
        list.items = items.data();
        list.count = static_cast<std::uint32_t>(items.size());
        list.capacity = list.count;
        return &list;
    }

    FolderEntry* Entry(const FakeFolder& folder) {
        FolderEntry& entry = entries_.emplace_back();
        entry.props = Props({{common::prop::kDisplayName, folder.name},
                             {common::prop::kContainerClass, folder.containerClass}});
        if (folder.listed)
            entry.children = List(folder.children);
        else
            unlisted_[&entry] = folder.children;
        return &entry;
    }

    ExportedPropMap* Props(const std::vector<std::pair<std::uint16_t, std::u16string>>& texts) {
        ExportedPropMap& map = maps_.emplace_back();
        std::vector<ExportedProp*>& items = propArrays_.emplace_back();
        for (const auto& [id, text] : texts) {
            std::vector<std::uint8_t>& bytes = bytes_.emplace_back();
            for (char16_t c : text) {
                bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(c >> 8));
            }
            bytes.push_back(0);
            bytes.push_back(0);
            ExportedProp& prop = props_.emplace_back();
            prop.id = id;
            prop.type = common::ptype::kUnicode;
            prop.byteCount = static_cast<std::uint32_t>(bytes.size());
            prop.bytes = bytes.data();
            items.push_back(&prop);
        }
        map.items = items.data();
        map.count = static_cast<std::uint32_t>(items.size());
        map.capacity = map.count;
        return &map;
    }

    std::u16string path_;
    std::int32_t stopWord_ = 0;
    StatusBlock status_{};
    EngineHandle handle_{};
    std::deque<FolderList> lists_;
    std::deque<std::vector<FolderEntry*>> itemArrays_;
    std::deque<FolderEntry> entries_;
    std::deque<ExportedPropMap> maps_;
    std::deque<std::vector<ExportedProp*>> propArrays_;
    std::deque<ExportedProp> props_;
    std::deque<std::vector<std::uint8_t>> bytes_;
    std::map<FolderEntry*, std::vector<FakeFolder>> unlisted_;
};

FakeBinding::FakeBinding(const std::u16string& storePath, const std::vector<FakeFolder>& roots)
    : records_(std::make_unique<FakeRecords>(storePath, roots)) {}

FakeBinding::~FakeBinding() = default;

int FakeBinding::EnumChildFolder(FolderEntry* folder, OpenStatus*) {
    ++childEnumerations;
    records_->ListChildren(folder);
    return 0;
}

int FakeBinding::DeletePFFData(OpenStatus*) {
    ++*deletions;
    deleted_ = true;
    return 0;
}

EngineHandle* FakeBinding::Handle() const {
    return deleted_ ? nullptr : records_->Handle();
}

}  // namespace velmora::test
