// The folder tree control: a tree view over the loaded stores that fills a
// folder's children when it is first expanded.
#pragma once

#include <QTreeView>
#include <memory>

#include "viewer/panes/store_list.h"

namespace velmora::panes {

class CTreeCtrlFolder : public QTreeView {
    Q_OBJECT

  public:
    explicit CTreeCtrlFolder(QWidget* parent = nullptr);

    StoreList& Stores() { return stores_; }
    // Adds the store as a new root item, selects it and expands what its fill asks for.
    QModelIndex AddStore(std::unique_ptr<CPFFDataParserInterFace> binding);

  private:
    StoreList stores_;
};

}  // namespace velmora::panes
