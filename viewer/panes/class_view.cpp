#include "viewer/panes/class_view.h"

#include <QAction>
#include <QVBoxLayout>

#include "viewer/data/binding/fresh_status.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/worker_procs.h"

namespace velmora::panes {
namespace {

int MessageCount(const FolderEntry* folder) {
    return folder->mails != nullptr ? static_cast<int>(folder->mails->entries.count) : 0;
}

}  // namespace

CClassView::CClassView(QWidget* parent)
    : QWidget(parent),
      tree_(new CTreeCtrlFolder(this)),
      exportFolder_(new QAction(tr("E&xport Folder..."), this)) {
    setObjectName("FolderTreePane");
    setAccessibleName(tr("Folder Tree"));
    context_ = {LibraryBindingFactory(), DialogRunner(this), GetWorkFolder()};
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(tree_);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { OnCurrentChanged(current); });
    exportFolder_->setObjectName("ExportFolder");
    exportFolder_->setStatusTip(tr("Write the folder's messages as mbox or .eml files"));
    connect(exportFolder_, &QAction::triggered, this, &CClassView::OnExportFolder);
    tree_->addAction(exportFolder_);
    tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

CClassView::~CClassView() {
    CloseStores();
}

OpenStoreContext CClassView::TrackedContext() {
    OpenStoreContext tracked = context_;
    tracked.runWorker = [this](StatusBlock* status, ThreadProc proc) {
        workerRunning_ = true;
        context_.runWorker(status, std::move(proc));
        workerRunning_ = false;
    };
    return tracked;
}

bool CClassView::OpenStore(const QString& storePath) {
    auto binding = OpenStoreFile(storePath.toStdU16String(), TrackedContext());
    if (!binding) return false;
    tree_->AddStore(std::move(binding));
    return true;
}

void CClassView::CloseStores() {
    listed_ = nullptr;
    emit MailRecordsReleasing();
    tree_->Stores().CloseAll();
}

void CClassView::OnCurrentChanged(const QModelIndex& current) {
    TreeItemData* item = StoreList::ItemAt(current);
    StoreView* store = StoreList::OwningStore(item);
    if (store == nullptr || item->kind != TreeItemKind::FolderItem) return;
    EngineHandle* handle = store->Binding().Handle();
    if (handle == nullptr || handle->status == nullptr) return;

    OpenStatus status = FreshOpenStatus();
    FolderEntry* folder = item->folder;
    // The worker rebuilds the folder's records; no view may read the old ones.
    emit MailRecordsReleasing();
    TrackedContext().runWorker(handle->status, [&](const StatusTextSink& showText) {
        FolderMailsThreadProc(store->Binding(), folder, &status, showText);
    });
    listed_ = item;
    RelistFolder();
}

StoreView* CClassView::SelectedStore() const {
    return StoreList::OwningStore(StoreList::ItemAt(tree_->currentIndex()));
}

void CClassView::RelistFolder() {
    if (listed_ == nullptr) {
        emit MailRecordsReleasing();
        return;
    }
    emit FolderMailsListed(listed_->folder->mails);
    emit FolderMessagesCounted(listed_->text, MessageCount(listed_->folder));
}

void CClassView::OnExportFolder() {
    TreeItemData* item = StoreList::ItemAt(tree_->currentIndex());
    StoreView* store = StoreList::OwningStore(item);
    if (store == nullptr || item->kind != TreeItemKind::FolderItem || workerRunning_) return;
    const auto choice = exportChooser_(this, item->text);
    if (!choice) return;
    // The export reads the folders' messages afresh: the listed records go, and come back after.
    emit MailRecordsReleasing();
    const QString text =
        ExportFolder(store->Binding(), item->folder, *choice, TrackedContext().runWorker);
    OnCurrentChanged(tree_->currentIndex());
    emit FolderExported(text);
}

}  // namespace velmora::panes
