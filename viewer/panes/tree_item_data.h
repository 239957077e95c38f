// One item of the folder tree: what it stands for, its text and picture, and
// its place among its parent's children. The tree model's nodes are these.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora::panes {

class StoreView;

enum class TreeItemKind { StoreRoot = 0, FolderItem = 1, PlaceholderItem = 2 };

// The text of the child that stands for a folder's children until it is expanded.
inline constexpr char kPlaceholderText[] = "DummyItem";

struct TreeItemData {
    TreeItemKind kind = TreeItemKind::PlaceholderItem;
    // The store for StoreRoot, the folder's record (owned by the engine) for
    // FolderItem, neither for PlaceholderItem.
    StoreView* store = nullptr;
    FolderEntry* folder = nullptr;
    QString text;
    int image = 0;
    TreeItemData* parent = nullptr;
    std::vector<std::unique_ptr<TreeItemData>> children;

    int Row() const;
    bool HasPlaceholderChild() const {
        return !children.empty() && children.front()->kind == TreeItemKind::PlaceholderItem;
    }
};

}  // namespace velmora::panes
