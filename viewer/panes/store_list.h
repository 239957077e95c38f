// The folder tree's model: every loaded store, in the order it was opened,
// with its folder items. Items are the stores' own TreeItemData nodes.
#pragma once

#include <QAbstractItemModel>
#include <memory>
#include <vector>

#include "viewer/panes/store_view.h"

namespace velmora::panes {

class StoreList : public QAbstractItemModel {
    Q_OBJECT

  public:
    explicit StoreList(QObject* parent = nullptr);
    ~StoreList() override;

    // Appends the store as a new top-level row; returns its root's index.
    QModelIndex AddStore(std::unique_ptr<CPFFDataParserInterFace> binding);
    // Replaces the placeholder child of a folder item by its real children;
    // nothing for an item that has been expanded before.
    void ExpandItem(const QModelIndex& index);
    // Closes every store: items first, then the engine's records, then the bindings.
    void CloseAll();

    const StoreView* Store(int row) const {
        return stores_.at(static_cast<std::size_t>(row)).get();
    }
    int StoreCount() const { return static_cast<int>(stores_.size()); }
    static TreeItemData* ItemAt(const QModelIndex& index);
    // The store an item belongs to: the target of the StoreRoot above it.
    static StoreView* OwningStore(TreeItemData* item);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    QModelIndex IndexOf(TreeItemData* item) const;

    std::vector<std::unique_ptr<StoreView>> stores_;
};

}  // namespace velmora::panes
