#include "viewer/app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "common/shown_path.h"
#include "viewer/app/about_dialog.h"
#include "viewer/app/app_looks.h"
#include "viewer/app/app_settings.h"
#include "viewer/app/frame_geometry.h"
#include "viewer/app/status_line_bar.h"
#include "viewer/app/store_file_dialog.h"
#include "viewer/app/toolbar_customize.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_list/message_save_command.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/mail_presenter.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"
#include "viewer/panes/message_properties/message_properties_dialog.h"
#include "viewer/panes/store_search/search_bar.h"
#include "viewer/panes/store_search/store_search.h"

namespace velmora::app {
namespace {

int StoredLookId() {
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    return LookForId(settings.value(kApplicationLookKey, kDefaultLookId).toInt()).id;
}

QAction* NewAction(const QString& text, const char* name, QObject* parent) {
    auto* action = new QAction(text, parent);
    action->setObjectName(name);
    return action;
}

// Docked panes move and resize but neither float nor close.
QDockWidget* NewPane(const QString& title, const char* name, QWidget* content, QWidget* parent) {
    auto* pane = new QDockWidget(title, parent);
    pane->setObjectName(name);
    pane->setAccessibleName(title);
    pane->setFeatures(QDockWidget::DockWidgetMovable);
    pane->setWidget(content);
    return pane;
}

}  // namespace

QString ChooseStoreFile(QWidget* parent) {
    const std::unique_ptr<QFileDialog> dialog = NewStoreFileDialog(parent);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst();
}

CMainFrame::CMainFrame(FileChooser chooseFile, UrlOpener openUrl, QWidget* parent)
    : QMainWindow(parent),
      chooseFile_(std::move(chooseFile)),
      openUrl_(openUrl ? std::move(openUrl) : UrlOpener(&QDesktopServices::openUrl)),
      appLook_(StoredLookId()) {
    setObjectName("MainFrame");
    setWindowTitle(QString::fromLatin1(kApplicationName));
    setAccessibleName(windowTitle());
    CreateActions();
    CreateMenus();
    CreateToolBar();
    setStatusBar(new StatusLineBar(this));
    CreatePanes();
    CreatePropertiesCommand();
    CreateSearchCommands();
    OnApplicationLook(appLook_);
    RestoreLayout();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateActions() {
    selectFile_ = NewAction(tr("Select &File..."), "SelectFile", this);
    selectFile_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    selectFile_->setStatusTip(tr("Select the PST File to View"));
    selectFile_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    connect(selectFile_, &QAction::triggered, this, &CMainFrame::OnSelectFile);

    exit_ = NewAction(tr("E&xit"), "Exit", this);
    connect(exit_, &QAction::triggered, this, &QWidget::close);

    statusBarToggle_ = NewAction(tr("&Status Bar"), "StatusBarToggle", this);
    statusBarToggle_->setCheckable(true);
    statusBarToggle_->setChecked(true);
    connect(statusBarToggle_, &QAction::toggled, this,
            [this](bool shown) { statusBar()->setVisible(shown); });

    help_ = NewAction(tr("&Help"), "Help", this);
    help_->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    connect(help_, &QAction::triggered, this, &CMainFrame::OnHelp);

    about_ = NewAction(tr("&About"), "About", this);
    connect(about_, &QAction::triggered, this, &CMainFrame::OnAbout);

    nextPane_ = NewAction(tr("Next Pane"), "NextPane", this);
    nextPane_->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPane_, &QAction::triggered, this, [this] { FocusNextPane(1); });
    previousPane_ = NewAction(tr("Previous Pane"), "PreviousPane", this);
    previousPane_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previousPane_, &QAction::triggered, this, [this] { FocusNextPane(-1); });
    // In no menu: the window itself takes their keys.
    addActions({nextPane_, previousPane_});
}

void CMainFrame::FocusNextPane(int step) {
    QWidget* const panes[] = {classView_, fileView_, mailView_};
    // Where the keyboard lands in each: the message's first field, the subject.
    QWidget* const targets[] = {&classView_->Tree(), &fileView_->List(),
                                &mailView_->Header().Subject()};
    constexpr int kPanes = 3;
    int current = -1;
    const QWidget* focus = QApplication::focusWidget();
    for (int i = 0; i < kPanes && focus != nullptr; ++i) {
        if (panes[i] == focus || panes[i]->isAncestorOf(focus)) current = i;
    }
    const int next = current < 0 ? (step > 0 ? 0 : kPanes - 1) : (current + step + kPanes) % kPanes;
    targets[next]->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::CreateMenus() {
    menuBar()->setObjectName("MenuBar");
    menuBar()->setAccessibleName(tr("Menu bar"));
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("FileMenu");
    file->addAction(selectFile_);
    file->addSeparator();
    file->addAction(exit_);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName("ViewMenu");
    view->addAction(statusBarToggle_);
    QMenu* looks = view->addMenu(tr("&Application Look"));
    looks->setObjectName("ApplicationLookMenu");
    CreateLookMenu(looks);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName("HelpMenu");
    help->addAction(help_);
    help->addAction(about_);
}

void CMainFrame::CreateLookMenu(QMenu* menu) {
    looks_ = new QActionGroup(this);
    looks_->setExclusive(true);
    QMenu* office2007 = nullptr;
    for (const ApplicationLook& look : ApplicationLooks()) {
        if (look.inOffice2007Menu && office2007 == nullptr) {
            office2007 = menu->addMenu(tr("Office 200&7"));
            office2007->setObjectName("Office2007Menu");
        }
        QAction* action = NewAction(tr(look.menuText), "", looks_);
        action->setObjectName(QStringLiteral("Look%1").arg(look.id));
        action->setCheckable(true);
        action->setData(look.id);
        (look.inOffice2007Menu ? office2007 : menu)->addAction(action);
        const int id = look.id;
        connect(action, &QAction::triggered, this, [this, id] { OnApplicationLook(id); });
    }
}

void CMainFrame::CreateToolBar() {
    QToolBar* toolBar = addToolBar(tr("Standard"));
    toolBar->setObjectName("Standard");
    toolBar->setAccessibleName(tr("Standard"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->addAction(selectFile_);
    toolBar->addSeparator();
    QAction* helpButton = toolBar->addAction(help_->icon(), tr("Help"));
    helpButton->setObjectName("HelpButton");
    connect(helpButton, &QAction::triggered, this, &CMainFrame::OnHelp);
    AddCustomizeButton(toolBar);
}

void CMainFrame::CreatePanes() {
    classView_ = new panes::CClassView(this);
    folderTreePane_ = NewPane(tr("Folder Tree"), "FolderTree", classView_, this);
    folderTreePane_->setAllowedAreas(Qt::LeftDockWidgetArea);
    addDockWidget(Qt::LeftDockWidgetArea, folderTreePane_);

    fileView_ = new CFileView(this);
    searchBar_ = new panes::StoreSearchBar(this);
    mailListPane_ = NewPane(tr("Mail List"), "MailList",
                            panes::WithSearchBarAbove(searchBar_, fileView_, this), this);
    mailListPane_->setAllowedAreas(Qt::RightDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, mailListPane_);

    connect(classView_, &panes::CClassView::FolderExported, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    connect(classView_, &panes::CClassView::FolderMessagesCounted, this,
            [this](const QString& folder, int count) {
                statusBar()->showMessage(tr("%1: %n message(s)", "", count).arg(folder));
            });
    CreateMailView();
    CreateMessageSave();
}

// Save Message As goes into the File menu after the open command, and into the mail list's
// context menu.
void CMainFrame::CreateMessageSave() {
    messageSave_ = new MessageSaveCommand(
        fileView_->List(), [this] { return classView_->WorkerRunning(); }, this);
    connect(messageSave_, &MessageSaveCommand::Reported, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    QMenu* file = menuBar()->findChild<QMenu*>("FileMenu");
    const qsizetype afterOpen = file->actions().indexOf(selectFile_) + 1;
    file->insertAction(file->actions().value(afterOpen), messageSave_->Action());
}

void CMainFrame::CreateMailView() {
    mailView_ = new CVelmoraView(this);
    setCentralWidget(mailView_);
    presenter_ = new MailPresenter(
        fileView_->List(), *mailView_,
        [this] { return classView_->WorkerRunning() || (search_ && search_->WorkerRunning()); },
        this);
    connect(classView_, &panes::CClassView::MailRecordsReleasing, presenter_,
            &MailPresenter::Clear);
    connect(classView_, &panes::CClassView::FolderMailsListed, presenter_, &MailPresenter::Fill);
    connect(presenter_, &MailPresenter::MessageNotShown, this,
            [this] { statusBar()->showMessage(tr("The message could not be shown")); });
}

// View > Message Properties... and the mail list's context menu, enabled while
// a message is selected.
void CMainFrame::CreatePropertiesCommand() {
    messageProperties_ = NewAction(tr("Message &Properties..."), "MessageProperties", this);
    messageProperties_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
    messageProperties_->setStatusTip(tr("Every property of the selected message"));
    messageProperties_->setEnabled(false);
    CListCtrlMails& list = fileView_->List();
    connect(messageProperties_, &QAction::triggered, this,
            [this] { ShowMessageProperties(this, fileView_->List().SelectedMail()); });
    // The list also reports while the frame is being torn down, when only its
    // QWidget part is left: the action alone is reached then, never the frame.
    QAction* properties = messageProperties_;
    connect(&list, &CListCtrlMails::MailSelected, properties,
            [properties](const MailEntry* mail) { properties->setEnabled(mail != nullptr); });
    if (auto* view = menuBar()->findChild<QMenu*>("ViewMenu")) {
        view->addSeparator();
        view->addAction(messageProperties_);
    }
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&list, &QWidget::customContextMenuRequested, this, [this, &list](const QPoint& at) {
        if (list.SelectedMail() == nullptr) return;
        auto* menu = new QMenu(&list);
        menu->setObjectName("MailListPopup");
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addAction(messageProperties_);
        menu->popup(list.viewport()->mapToGlobal(at));
    });
}

// Edit > Find in Store… and Tools > Forget Search Indexes, around the View menu.
void CMainFrame::CreateSearchCommands() {
    search_ = new panes::StoreSearch(*searchBar_, *classView_, this);
    connect(search_, &panes::StoreSearch::ResultsReleasing, presenter_, &MailPresenter::Clear);
    connect(search_, &panes::StoreSearch::ResultsFound, presenter_, &MailPresenter::FillFound);
    connect(search_, &panes::StoreSearch::StatusText, statusBar(),
            [this](const QString& text) { statusBar()->showMessage(text); });
    auto* view = menuBar()->findChild<QMenu*>("ViewMenu");
    auto* help = menuBar()->findChild<QMenu*>("HelpMenu");
    auto* edit = new QMenu(tr("&Edit"), menuBar());
    edit->setObjectName("EditMenu");
    edit->addAction(&search_->FindAction());
    menuBar()->insertMenu(view->menuAction(), edit);
    auto* tools = new QMenu(tr("&Tools"), menuBar());
    tools->setObjectName("ToolsMenu");
    tools->addAction(&search_->ForgetAction());
    menuBar()->insertMenu(help->menuAction(), tools);
}

QAction* CMainFrame::LookAction(int lookId) const {
    for (QAction* action : looks_->actions()) {
        if (action->data().toInt() == lookId) return action;
    }
    return nullptr;
}

void CMainFrame::OnSelectFile() {
    const QString path = chooseFile_(this);
    if (path.isEmpty()) return;
    classView_->OpenStore(QString::fromStdU16String(common::FindShownPath(path.toStdU16String())));
}

void CMainFrame::OnApplicationLook(int lookId) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ApplicationLook& look = LookForId(lookId);
    appLook_ = look.id;
    ApplyLook(look);
    if (QAction* action = LookAction(appLook_)) action->setChecked(true);
    QSettings(kSettingsOrganization, kSettingsApplication).setValue(kApplicationLookKey, appLook_);
    QApplication::restoreOverrideCursor();
}

void CMainFrame::OnHelp() {
    const QString problem = OpenUserGuide(UserGuidePath(), openUrl_);
    if (!problem.isEmpty())
        ShowMessageBox(windowTitle().toStdU16String(), problem.toStdU16String());
}

void CMainFrame::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::RestoreLayout() {
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    // With no saved geometry the frame must not rely on a window manager to
    // maximise it: it starts at a size that leaves room for a message.
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray()) && screen() != nullptr)
        setGeometry(FirstFrameGeometry(screen()->availableGeometry()));
    restoreState(settings.value(kDockStateKey).toByteArray());
}

void CMainFrame::SaveLayout() const {
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kDockStateKey, saveState());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SaveLayout();
    // The stores go while the window still stands: their items point into them.
    classView_->CloseStores();
    event->accept();
}

}  // namespace velmora::app
