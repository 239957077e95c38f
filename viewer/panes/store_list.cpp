#include "viewer/panes/store_list.h"

#include "viewer/panes/folder_images.h"

namespace velmora::panes {

StoreList::StoreList(QObject* parent) : QAbstractItemModel(parent) {}

StoreList::~StoreList() {
    CloseAll();
}

QModelIndex StoreList::AddStore(std::unique_ptr<CPFFDataParserInterFace> binding) {
    const int row = StoreCount();
    beginInsertRows({}, row, row);
    stores_.push_back(std::make_unique<StoreView>(std::move(binding)));
    endInsertRows();
    return index(row, 0);
}

void StoreList::CloseAll() {
    if (stores_.empty()) return;
    beginResetModel();
    stores_.clear();
    endResetModel();
}

TreeItemData* StoreList::ItemAt(const QModelIndex& index) {
    return index.isValid() ? static_cast<TreeItemData*>(index.internalPointer()) : nullptr;
}

StoreView* StoreList::OwningStore(TreeItemData* item) {
    while (item != nullptr && item->kind != TreeItemKind::StoreRoot) item = item->parent;
    return item != nullptr ? item->store : nullptr;
}

void StoreList::ExpandItem(const QModelIndex& index) {
    TreeItemData* item = ItemAt(index);
    StoreView* store = OwningStore(item);
    if (store == nullptr || !item->HasPlaceholderChild()) return;

    beginRemoveRows(index, 0, 0);
    item->children.erase(item->children.begin());
    endRemoveRows();
    if (item->kind != TreeItemKind::FolderItem) return;

    auto children = store->ListChildrenLazily(*item);
    if (children.empty()) return;
    const int first = static_cast<int>(item->children.size());
    beginInsertRows(index, first, first + static_cast<int>(children.size()) - 1);
    for (auto& child : children) item->children.push_back(std::move(child));
    endInsertRows();
}

QModelIndex StoreList::IndexOf(TreeItemData* item) const {
    if (item == nullptr) return {};
    if (item->kind == TreeItemKind::StoreRoot) {
        for (std::size_t row = 0; row < stores_.size(); ++row) {
            if (stores_[row]->Root() == item) return createIndex(static_cast<int>(row), 0, item);
        }
        return {};
    }
    return createIndex(item->Row(), 0, item);
}

QModelIndex StoreList::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    if (!parent.isValid()) {
        if (row >= StoreCount()) return {};
        return createIndex(row, 0, stores_[static_cast<std::size_t>(row)]->Root());
    }
    TreeItemData* item = ItemAt(parent);
    if (static_cast<std::size_t>(row) >= item->children.size()) return {};
    return createIndex(row, 0, item->children[static_cast<std::size_t>(row)].get());
}

QModelIndex StoreList::parent(const QModelIndex& child) const {
    TreeItemData* item = ItemAt(child);
    return item != nullptr ? IndexOf(item->parent) : QModelIndex{};
}

int StoreList::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return StoreCount();
    if (parent.column() != 0) return 0;
    return static_cast<int>(ItemAt(parent)->children.size());
}

int StoreList::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant StoreList::data(const QModelIndex& index, int role) const {
    const TreeItemData* item = ItemAt(index);
    if (item == nullptr) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return item->text;
        case Qt::DecorationRole:
            return FolderIcon(item->image);
        case kImageIndexRole:
            return item->image;
        default:
            return {};
    }
}

}  // namespace velmora::panes
