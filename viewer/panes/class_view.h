// The "Folder Tree" pane's content: the folder tree, the open command that
// adds stores to it, and the message listing of the folder the user selects.
#pragma once

#include <QWidget>
#include <memory>

#include "viewer/panes/open_store.h"
#include "viewer/panes/tree_ctrl_folder.h"

namespace velmora::panes {

class CClassView : public QWidget {
    Q_OBJECT

  public:
    explicit CClassView(QWidget* parent = nullptr);
    ~CClassView() override;

    CTreeCtrlFolder& Tree() { return *tree_; }
    // How stores are bound and parsed; tests replace the library or the runner.
    void SetOpenContext(OpenStoreContext context) { context_ = std::move(context); }
    // Opens the store file and adds it as a new root; false when nothing was added.
    bool OpenStore(const QString& storePath);
    // Closes every store; the pane is empty afterwards.
    void CloseStores();

  signals:
    // The selected folder's messages have been listed.
    void FolderMessagesCounted(const QString& folderName, int messageCount);

  private:
    void OnCurrentChanged(const QModelIndex& current);

    CTreeCtrlFolder* tree_;
    OpenStoreContext context_;
};

}  // namespace velmora::panes
