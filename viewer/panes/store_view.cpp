#include "viewer/panes/store_view.h"

#include <algorithm>

#include "viewer/data/binding/fresh_status.h"
#include "viewer/data/binding/store_folders.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/folder_images.h"
#include "viewer/panes/folder_order.h"

namespace velmora::panes {
namespace {

std::unique_ptr<TreeItemData> NewItem(TreeItemKind kind, TreeItemData& parent) {
    auto item = std::make_unique<TreeItemData>();
    item->kind = kind;
    item->parent = &parent;
    return item;
}

std::unique_ptr<TreeItemData> NewFolderItem(FolderEntry* folder, TreeItemData& parent) {
    auto item = NewItem(TreeItemKind::FolderItem, parent);
    item->folder = folder;
    item->text = QString::fromStdU16String(FolderName(folder));
    item->image = ContainerClassImage(FolderClass(folder));
    return item;
}

std::unique_ptr<TreeItemData> NewPlaceholderItem(TreeItemData& parent) {
    auto item = NewItem(TreeItemKind::PlaceholderItem, parent);
    item->text = QString::fromLatin1(kPlaceholderText);
    item->image = kMailFolderImage;
    return item;
}

bool HasFolders(const FolderList* folders) {
    return folders != nullptr && folders->count > 0 && folders->items != nullptr;
}

}  // namespace

StoreView::StoreView(std::unique_ptr<CPFFDataParserInterFace> binding)
    : binding_(std::move(binding)), root_(std::make_unique<TreeItemData>()) {
    EngineHandle* handle = binding_->Handle();
    root_->kind = TreeItemKind::StoreRoot;
    root_->store = this;
    root_->image = kStoreRootImage;
    if (handle != nullptr && handle->storePath != nullptr)
        root_->text = QString::fromUtf16(handle->storePath);

    FolderEntry* top = FindTopOfPersonalFolders(handle);
    if (top == nullptr) top = FindIpmSubtree(handle);
    if (top != nullptr) {
        auto topItem = NewFolderItem(top, *root_);
        FillEagerly(*topItem, top->children, FolderNameOrder());
        root_->children.push_back(std::move(topItem));
        filledEagerly_ = true;
    } else {
        root_->children = LazyItems(*root_, RootFolders(handle));
    }
}

StoreView::~StoreView() {
    // The items point into the engine's records: they go before the records do.
    root_.reset();
    if (binding_->Handle() != nullptr) {
        OpenStatus status = FreshOpenStatus();
        binding_->DeletePFFData(&status);
    }
    binding_.reset();
}

void StoreView::FillEagerly(TreeItemData& parent, const FolderList* folders,
                            const FolderNameOrder& order) {
    if (!HasFolders(folders)) return;
    for (std::uint32_t i = 0; i < folders->count; ++i) {
        FolderEntry* folder = folders->items[i];
        if (folder == nullptr) continue;
        auto item = NewFolderItem(folder, parent);
        FillEagerly(*item, folder->children, order);
        parent.children.push_back(std::move(item));
    }
    // Folders of equal names keep the store's order.
    std::stable_sort(
        parent.children.begin(), parent.children.end(),
        [&order](const auto& left, const auto& right) { return order(left->text, right->text); });
}

std::vector<std::unique_ptr<TreeItemData>> StoreView::LazyItems(TreeItemData& parent,
                                                                const FolderList* folders) {
    std::vector<std::unique_ptr<TreeItemData>> items;
    if (!HasFolders(folders)) return items;
    for (std::uint32_t i = 0; i < folders->count; ++i) {
        if (folders->items[i] == nullptr) continue;
        auto item = NewFolderItem(folders->items[i], parent);
        item->children.push_back(NewPlaceholderItem(*item));
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::unique_ptr<TreeItemData>> StoreView::ListChildrenLazily(TreeItemData& folderItem) {
    FolderEntry* folder = folderItem.folder;
    if (folder == nullptr) return {};
    // The all-folders enumeration of the open command may have listed them
    // already; asking again would show every child twice.
    if (!HasFolders(folder->children)) {
        OpenStatus status = FreshOpenStatus();
        binding_->EnumChildFolder(folder, &status);
    }
    return LazyItems(folderItem, folder->children);
}

}  // namespace velmora::panes
