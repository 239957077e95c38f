// The "Folder Tree" pane's content: the folder tree, the open command that
// adds stores to it, and the message listing of the folder the user selects.
#pragma once

#include <QWidget>
#include <memory>

#include "viewer/panes/folder_export_command.h"
#include "viewer/panes/open_store.h"
#include "viewer/panes/tree_ctrl_folder.h"

class QAction;

namespace velmora::panes {

class CClassView : public QWidget {
    Q_OBJECT

  public:
    explicit CClassView(QWidget* parent = nullptr);
    ~CClassView() override;

    CTreeCtrlFolder& Tree() { return *tree_; }
    // How stores are bound and parsed; tests replace the library or the runner.
    void SetOpenContext(OpenStoreContext context) { context_ = std::move(context); }
    const OpenStoreContext& OpenContext() const { return context_; }
    // Opens the store file and adds it as a new root; false when nothing was added.
    bool OpenStore(const QString& storePath);
    // Closes every store; the pane is empty afterwards.
    void CloseStores();
    // Whether a worker thread is using the engine now (its dialog is up).
    bool WorkerRunning() const { return workerRunning_; }
    // Export Folder... in the tree's context menu, for the current folder.
    QAction* ExportFolderAction() const { return exportFolder_; }
    // How the export asks what to write where; tests answer without a dialog.
    void SetExportChooser(ExportChooser chooser) { exportChooser_ = std::move(chooser); }
    // The store of the selected item; null when nothing is selected.
    StoreView* SelectedStore() const;
    // Lists the folder listed last again from the records it has, without the
    // engine; the list goes blank when no folder was listed.
    void RelistFolder();

  signals:
    // The message records shown so far are about to be freed (a folder is
    // enumerated again, or the stores close): views must let go of them now.
    void MailRecordsReleasing();
    // The selected folder's messages are listed in `mails` (null: none).
    void FolderMailsListed(const MailList* mails);
    // The selected folder's messages have been listed.
    void FolderMessagesCounted(const QString& folderName, int messageCount);
    // How an export ended, for the status bar.
    void FolderExported(const QString& text);

  private:
    void OnCurrentChanged(const QModelIndex& current);
    void OnExportFolder();
    // `context_` with a runner that marks the time its worker runs.
    OpenStoreContext TrackedContext();

    CTreeCtrlFolder* tree_;
    OpenStoreContext context_;
    bool workerRunning_ = false;
    QAction* exportFolder_;
    ExportChooser exportChooser_ = AskExportChoice;
    // The folder item whose messages were listed last; its records stay until
    // another folder is listed or the stores close.
    TreeItemData* listed_ = nullptr;
};

}  // namespace velmora::panes
