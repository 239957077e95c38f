#include "tests/viewer/app/window_walk.h"

#include <QTreeView>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/support/test_paths.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/app/main_frame.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/tree_ctrl_folder.h"

namespace velmora::test {
namespace {

void AddStoresIn(const std::filesystem::path& folder, const char* extension,
                 std::vector<std::filesystem::path>& stores) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == extension)
            stores.push_back(entry.path());
    }
}

void WalkRows(app::CMainFrame& frame, int messagesPerFolder,
              const std::function<void(const MailEntry*)>& visit, WalkCounts& counts) {
    CListCtrlMails& list = frame.MailList().List();
    int rows = list.model()->rowCount();
    if (messagesPerFolder > 0) rows = std::min(rows, messagesPerFolder);
    for (int row = 0; row < rows; ++row) {
        list.SelectRow(row);
        ++counts.messages;
        visit(list.SelectedMail());
    }
}

void WalkItem(app::CMainFrame& frame, const QModelIndex& item, int messagesPerFolder,
              const std::function<void(const MailEntry*)>& visit, WalkCounts& counts) {
    QTreeView& tree = frame.FolderTree().Tree();
    tree.setCurrentIndex(item);
    ++counts.folders;
    WalkRows(frame, messagesPerFolder, visit, counts);
    // Expanding reads the children of a folder listed lazily.
    tree.expand(item);
    for (int row = 0; row < tree.model()->rowCount(item); ++row)
        WalkItem(frame, tree.model()->index(row, 0, item), messagesPerFolder, visit, counts);
}

}  // namespace

std::vector<std::filesystem::path> CorpusStoreFiles() {
    std::vector<std::filesystem::path> stores;
    AddStoresIn(CorpusDir(), ".pst", stores);
    AddStoresIn(CorpusDir() / "ost4k", ".ost", stores);
    std::sort(stores.begin(), stores.end());
    return stores;
}

int MessagesPerFolderToWalk(int inTestCommand) {
    const char* full = std::getenv("VELMORA_FULL_WINDOW_WALK");
    return full != nullptr && std::string(full) == "1" ? 0 : inTestCommand;
}

bool WalkStore(app::CMainFrame& frame, const std::filesystem::path& store, int messagesPerFolder,
               const std::function<void(const MailEntry*)>& visit, WalkCounts& counts) {
    frame.FolderTree().SetOpenContext(TestOpenContext(&frame));
    if (!frame.FolderTree().OpenStore(QString::fromStdString(store.string()))) return false;
    QTreeView& tree = frame.FolderTree().Tree();
    const QModelIndex storeItem = tree.model()->index(0, 0);
    for (int row = 0; row < tree.model()->rowCount(storeItem); ++row)
        WalkItem(frame, tree.model()->index(row, 0, storeItem), messagesPerFolder, visit, counts);
    return true;
}

}  // namespace velmora::test
