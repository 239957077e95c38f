#include "viewer/panes/tree_ctrl_folder.h"

namespace velmora::panes {

CTreeCtrlFolder::CTreeCtrlFolder(QWidget* parent) : QTreeView(parent), stores_(this) {
    setObjectName("FolderTreeControl");
    setAccessibleName(tr("Folder tree"));
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(&stores_);
    connect(this, &QTreeView::expanded, &stores_, &StoreList::ExpandItem);
}

QModelIndex CTreeCtrlFolder::AddStore(std::unique_ptr<CPFFDataParserInterFace> binding) {
    const QModelIndex root = stores_.AddStore(std::move(binding));
    if (stores_.Store(root.row())->FilledEagerly())
        expandRecursively(root);
    else
        expand(root);
    // The root is only the caret: selecting it leaves the mail list as it is.
    setCurrentIndex(root);
    return root;
}

}  // namespace velmora::panes
