// One loaded store in the folder tree: its engine binding and the items that
// show its folders. Lives from its open command until the program ends.
#pragma once

#include <memory>
#include <vector>

#include "viewer/data/binding/pff_data_parser.h"
#include "viewer/panes/tree_item_data.h"

namespace velmora::panes {

class FolderNameOrder;

class StoreView {
  public:
    // Takes the binding of a parsed store and builds its items: the top folder
    // (top of the personal folders, else the IPM subtree) with its whole
    // hierarchy in alphabetical order, or, when the store has neither, the
    // root folders in store order, each waiting to be expanded.
    explicit StoreView(std::unique_ptr<CPFFDataParserInterFace> binding);
    // Frees the items, then the engine's records (DeletePFFData), then the binding.
    ~StoreView();
    StoreView(const StoreView&) = delete;
    StoreView& operator=(const StoreView&) = delete;

    TreeItemData* Root() const { return root_.get(); }
    CPFFDataParserInterFace& Binding() const { return *binding_; }
    // True when the whole hierarchy was filled at once; the tree then shows it expanded.
    bool FilledEagerly() const { return filledEagerly_; }

    // The items for the child folders of `folder`, each with a placeholder
    // child, after asking the engine for them unless it has listed them already.
    std::vector<std::unique_ptr<TreeItemData>> ListChildrenLazily(TreeItemData& folderItem);

  private:
    void FillEagerly(TreeItemData& parent, const FolderList* folders, const FolderNameOrder& order);
    std::vector<std::unique_ptr<TreeItemData>> LazyItems(TreeItemData& parent,
                                                         const FolderList* folders);

    std::unique_ptr<CPFFDataParserInterFace> binding_;
    std::unique_ptr<TreeItemData> root_;
    bool filledEagerly_ = false;
};

}  // namespace velmora::panes
