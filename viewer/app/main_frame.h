// The main window: menus, the "Standard" toolbar, the status bar and the two
// docked panes, "Folder Tree" and "Mail List"; the open, look, help and
// about commands.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>

#include "viewer/app/help_command.h"

class QAction;
class QActionGroup;
class QDockWidget;

namespace velmora {
class CFileView;
class CVelmoraView;
class MailPresenter;
class MessageSaveCommand;
}  // namespace velmora

namespace velmora::panes {
class CClassView;
class StoreSearch;
class StoreSearchBar;
}  // namespace velmora::panes

namespace velmora::app {

// Asks the user for a store file; empty when the user cancels.
using FileChooser = std::function<QString(QWidget* parent)>;

// The file dialog of the open command.
QString ChooseStoreFile(QWidget* parent);

class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    explicit CMainFrame(FileChooser chooseFile = ChooseStoreFile, UrlOpener openUrl = {},
                        QWidget* parent = nullptr);
    ~CMainFrame() override;

    int AppLook() const { return appLook_; }
    panes::CClassView& FolderTree() { return *classView_; }
    QDockWidget& FolderTreePane() { return *folderTreePane_; }
    QDockWidget& MailListPane() { return *mailListPane_; }
    CFileView& MailList() { return *fileView_; }
    CVelmoraView& MailView() { return *mailView_; }
    MessageSaveCommand& MessageSave() { return *messageSave_; }
    QAction* LookAction(int lookId) const;
    // View > Message Properties..., for the selected message.
    QAction& MessagePropertiesAction() { return *messageProperties_; }
    panes::StoreSearchBar& SearchBar() { return *searchBar_; }
    panes::StoreSearch& Search() { return *search_; }

    void OnSelectFile();
    void OnApplicationLook(int lookId);
    void OnHelp();
    void OnAbout();
    // F6 and Shift+F6: the keyboard moves to the next or previous pane
    // (folder tree, mail list, message), round the end.
    void FocusNextPane(int step);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreatePanes();
    void CreateMailView();
    void CreatePropertiesCommand();
    void CreateMessageSave();
    void CreateSearchCommands();
    void CreateLookMenu(QMenu* menu);
    void RestoreLayout();
    void SaveLayout() const;

    FileChooser chooseFile_;
    UrlOpener openUrl_;
    int appLook_;
    QAction* selectFile_ = nullptr;
    QAction* exit_ = nullptr;
    QAction* statusBarToggle_ = nullptr;
    QAction* help_ = nullptr;
    QAction* about_ = nullptr;
    QAction* nextPane_ = nullptr;
    QAction* previousPane_ = nullptr;
    QAction* messageProperties_ = nullptr;
    QActionGroup* looks_ = nullptr;
    panes::CClassView* classView_ = nullptr;
    QDockWidget* folderTreePane_ = nullptr;
    QDockWidget* mailListPane_ = nullptr;
    CFileView* fileView_ = nullptr;
    CVelmoraView* mailView_ = nullptr;
    MailPresenter* presenter_ = nullptr;
    MessageSaveCommand* messageSave_ = nullptr;
    panes::StoreSearchBar* searchBar_ = nullptr;
    panes::StoreSearch* search_ = nullptr;
};

}  // namespace velmora::app
