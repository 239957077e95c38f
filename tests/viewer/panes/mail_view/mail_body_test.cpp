// The message body in a real browser view (it needs a display): what each
// kind of body shows, that a hostile page runs nothing and reaches nothing,
// and the mail list driving the view as the folder tree enumerates folders.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEngineView>
#include <fstream>

#include "common/path_text.h"
#include "common/property_ids.h"
#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/app/corpus_frame.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "tests/viewer/panes/mail_view/body_page_text.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/app/main_frame.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/locked_page.h"
#include "viewer/panes/mail_view/mail_presenter.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"

// The browser shares the window's graphics contexts; this must be said before
// the test environment makes the application.
[[maybe_unused]] static const bool kSharedContexts =
    (QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts), true);

namespace velmora::test {
namespace {

namespace prop = common::prop;

Bytes Latin1(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Shows the page file and waits until it has loaded.
void ShowAndWait(BodyDisplay& body, const QString& path) {
    QSignalSpy shown(&body, &BodyDisplay::PageShown);
    body.ShowFile(path);
    ASSERT_TRUE(shown.wait(15000)) << path.toStdString();
}

QString Rendered(const MailEntry* mail) {
    const std::u16string page = NewScratchPath() + u".mht";
    EXPECT_TRUE(RenderSelectedMessage(mail, page));
    return QString::fromStdU16String(page);
}

struct BodyCase {
    const char* label;
    PropInput body;
    const char* words;
};

TEST(MailBodyTest, EachKindOfBodyShowsItsText) {
    const BodyCase cases[] = {
        {"HTML only",
         {prop::kBodyHtml, 0x0102,
          Latin1("<html><body><p>Harbour lights tonight</p></body></html>")},
         "Harbour lights tonight"},
        {"RTF only",
         {prop::kRtfCompressed, 0x0102,
          UncompressedRtf("{\\rtf1\\ansi Granite quarry report\\par}")},
         "Granite quarry report"},
        {"plain text only",
         {prop::kBody, 0x1F, Utf16BytesTerminated(u"Lantern festival schedule")},
         "Lantern festival schedule"},
    };
    RecordBuilder records;
    CVelmoraView view;
    view.resize(800, 600);
    view.show();
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.label);
        const MailEntry* mail = records.Mail(
            records.Map({{prop::kSubject, 0x1F, Utf16BytesTerminated(u"Body kinds")}, c.body}));
        ShowAndWait(view.Body(), Rendered(mail));
        const QString text = PlainText(view.Body());
        EXPECT_TRUE(text.contains(c.words)) << text.toStdString();
    }
}

// A page that tries everything a message must not do, against a local server.
// Its link covers the top of the page, where the test clicks.
std::string HostilePage(quint16 port) {
    const std::string server = "http://127.0.0.1:" + std::to_string(port);
    return "<html><head><meta http-equiv=\"refresh\" content=\"1; url=" + server +
           "/refresh\"><link rel=\"stylesheet\" href=\"" + server +
           "/style.css\"><title>Quiet</title></head><body>"
           "<a href=\"" +
           server +
           "/link\" style=\"display:block;height:200px\">a link</a>"
           "<p>Quiet text</p><script>document.title='ran';"
           "document.body.innerHTML='SCRIPT RAN';</script>"
           "<img src=\"" +
           server + "/pixel.png\"><iframe src=\"" + server +
           "/frame\"></iframe><div style=\"background:url(" + server +
           "/bg.png)\">x</div></body></html>";
}

struct HostileCase {
    const char* label;
    bool throughRendering;  // else the raw page goes straight to the view
};

TEST(MailBodyTest, AHostilePageRunsNoScriptConnectsNowhereAndFollowsNoLink) {
    const HostileCase cases[] = {{"a message's HTML body", true},
                                 {"a raw page file, past every cleaning", false}};
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.label);
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        const std::string page = HostilePage(server.serverPort());
        QString path;
        RecordBuilder records;
        if (c.throughRendering) {
            path = Rendered(records.Mail(records.Map({{prop::kBodyHtml, 0x0102, Latin1(page)}})));
        } else {
            path = QString::fromStdU16String(NewScratchPath() + u".html");
            std::ofstream(common::PathFromUtf16(path.toStdU16String())) << page;
        }
        CVelmoraView view;
        view.resize(800, 600);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        // The user says Yes: the link goes to the desktop, never into the view.
        QList<QUrl> handedOn;
        view.Body().SetLinkDesktop({[](QWidget*, const QString&, bool) { return true; },
                                    [&](const QUrl& url) {
                                        handedOn << url;
                                        return true;
                                    },
                                    [](QWidget*, const QString&) {}});
        ShowAndWait(view.Body(), path);
        QWidget* surface = view.Body().View()->focusProxy();
        ASSERT_NE(surface, nullptr);
        QTest::qWait(300);  // the page's first paint
        const QPoint onLink(60, 40);
        QTest::mouseMove(surface, onLink);
        QTest::mousePress(surface, Qt::LeftButton, {}, onLink, 20);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, onLink, 20);
        // Long enough for the refresh, the link and every fetch to have been tried.
        EXPECT_FALSE(server.waitForNewConnection(2500)) << "the page reached the server";
        const QString text = PlainText(view.Body());
        EXPECT_TRUE(text.contains("Quiet text")) << text.toStdString();
        EXPECT_FALSE(text.contains("SCRIPT RAN"));
        EXPECT_NE(view.Body().View()->title(), "ran");
        EXPECT_EQ(view.Body().View()->url(), QUrl::fromLocalFile(path));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !handedOn.isEmpty(); }, 5000));
        EXPECT_EQ(handedOn,
                  QList<QUrl>{QUrl(QString::fromStdString(
                      "http://127.0.0.1:" + std::to_string(server.serverPort()) + "/link"))});
    }
}

// A page whose link, at the top, shows one host and leads to another.
constexpr char kLinkPage[] =
    "<html><body><a href=\"https://evil.example/login\" "
    "style=\"display:block;height:200px\">www.bank.example</a>"
    "<p>Copy this sentence</p></body></html>";

QString RawPage(const std::string& html) {
    const QString path = QString::fromStdU16String(NewScratchPath() + u".html");
    std::ofstream(common::PathFromUtf16(path.toStdU16String())) << html;
    return path;
}

// Right-clicks the body at `at` and returns the names of its popup's entries.
QStringList PopupEntries(BodyDisplay& body, QWidget* surface, QPoint at, QMenu** shown) {
    QTest::mouseMove(surface, at);
    QTest::mouseClick(surface, Qt::RightButton, {}, at, 20);
    QMenu* menu = nullptr;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            for (QMenu* popup : body.findChildren<QMenu*>("BodyPopup")) {
                if (popup->isVisible()) menu = popup;
            }
            return menu != nullptr;
        },
        5000));
    QStringList names;
    if (menu == nullptr) return names;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) names << action->objectName();
    }
    *shown = menu;
    return names;
}

TEST(MailBodyTest, TextIsCopiedAndALinkIsOfferedNeverFollowed) {
    CVelmoraView view;
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    BodyDisplay& body = view.Body();
    QStringList questions;
    QList<QUrl> opened;
    body.SetLinkDesktop({[&](QWidget*, const QString& question, bool) {
                             questions << question;
                             return false;
                         },
                         [&](const QUrl& url) {
                             opened << url;
                             return true;
                         },
                         [](QWidget*, const QString&) {}});
    const QString path = RawPage(kLinkPage);
    ShowAndWait(body, path);
    QWidget* surface = body.View()->focusProxy();
    ASSERT_NE(surface, nullptr);
    QTest::qWait(300);  // the page's first paint
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("the user's own");

    // A click asks about the real address, warns of the other host, and
    // leaves the view and the clipboard alone.
    QSignalSpy offered(&body, &BodyDisplay::LinkOffered);
    const QPoint onLink(60, 40);
    QTest::mouseMove(surface, onLink);
    QTest::mouseClick(surface, Qt::LeftButton, {}, onLink, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !questions.isEmpty(); }, 5000));
    EXPECT_TRUE(questions[0].startsWith("Open this address in your web browser?"));
    EXPECT_TRUE(questions[0].contains("https://evil.example/login"));
    EXPECT_TRUE(questions[0].contains("www.bank.example")) << questions[0].toStdString();
    ASSERT_EQ(offered.count(), 1);
    EXPECT_EQ(offered[0][1].toString(), "www.bank.example");
    EXPECT_TRUE(opened.isEmpty()) << "opened without a Yes";
    QTest::qWait(300);
    EXPECT_EQ(body.View()->url(), QUrl::fromLocalFile(path));
    EXPECT_EQ(clipboard->text(), "the user's own");

    // The keys select and copy the text.
    const QPoint onText(60, 230);
    QTest::mouseClick(surface, Qt::LeftButton, {}, onText, 20);
    QTest::keyClick(surface, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(surface, Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return clipboard->text().contains("Copy this sentence"); }, 5000))
        << clipboard->text().toStdString();

    // The popup: Copy only with a selection, Copy Link Address only on a link.
    struct {
        QPoint at;
        QStringList entries;
    } popups[] = {{onText, {"BodyCopy", "BodySelectAll"}},
                  {onLink, {"BodyCopy", "BodySelectAll", "BodyCopyLink"}}};
    for (const auto& popup : popups) {
        QMenu* menu = nullptr;
        EXPECT_EQ(PopupEntries(body, surface, popup.at, &menu), popup.entries);
        if (menu != nullptr) menu->close();
        QTest::qWait(100);
    }
    QMenu* menu = nullptr;
    PopupEntries(body, surface, onLink, &menu);
    ASSERT_NE(menu, nullptr);
    menu->findChild<QAction*>("BodyCopyLink")->trigger();
    EXPECT_EQ(clipboard->text(), "https://evil.example/login");
    menu->close();
    QTest::qWait(100);
    QTest::mouseClick(surface, Qt::LeftButton, {}, onText, 20);  // the selection goes
    QTest::qWait(300);
    EXPECT_EQ(PopupEntries(body, surface, onText, &menu), QStringList{"BodySelectAll"});
    if (menu != nullptr) menu->close();
}

const MailEntry* PlainMail(RecordBuilder& records, const std::u16string& body) {
    return records.Mail(records.Map({{prop::kBody, 0x1F, Utf16BytesTerminated(body)}}));
}

TEST(MailBodyTest, PagesReplacedQuicklyLeaveOnlyTheLastOnScreenAndOnDisk) {
    RecordBuilder records;
    QStringList paths;
    for (const std::u16string body :
         {u"First quick page", u"Second quick page", u"Third quick page"})
        paths << Rendered(PlainMail(records, body));
    CVelmoraView view;
    view.resize(800, 600);
    view.show();
    QSignalSpy shown(&view.Body(), &BodyDisplay::PageShown);
    for (const QString& path : paths) view.Body().ShowFile(path);
    ASSERT_TRUE(shown.wait(15000));
    QTest::qWait(300);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_TRUE(PlainText(view.Body()).contains("Third quick page"));
    EXPECT_FALSE(QFile::exists(paths[0]));
    EXPECT_FALSE(QFile::exists(paths[1]));
    EXPECT_TRUE(QFile::exists(paths[2]));

    view.Body().ShowBlank();
    ASSERT_TRUE(shown.wait(15000));
    EXPECT_TRUE(PlainText(view.Body()).trimmed().isEmpty());
    EXPECT_FALSE(QFile::exists(paths[2]));
}

// The program starts the browser with its window, before any message: the
// empty body stays on screen until the first page is shown.
TEST(MailBodyTest, ABrowserStartedEarlyShowsTheEmptyBodyUntilTheFirstPage) {
    RecordBuilder records;
    const QString path = Rendered(PlainMail(records, u"Shown after an early start"));
    CVelmoraView view;
    view.resize(800, 600);
    view.show();
    view.Body().StartBrowser();
    QWidget* empty = view.Body().findChild<QWidget*>("EmptyBody");
    ASSERT_NE(empty, nullptr);
    ASSERT_NE(view.Body().View(), nullptr);
    EXPECT_TRUE(empty->isVisible());
    EXPECT_FALSE(view.Body().View()->isVisible());

    ShowAndWait(view.Body(), path);
    EXPECT_FALSE(empty->isVisible());
    EXPECT_TRUE(view.Body().View()->isVisible());
    EXPECT_TRUE(PlainText(view.Body()).contains("Shown after an early start"));
}

// Plain-text messages in a mail list tied to a view, as the window ties them.
struct PresentedMails {
    PresentedMails(const std::vector<std::u16string>& bodies, std::function<bool()> workerRunning)
        : presenter(mailList, view, std::move(workerRunning)) {
        for (const std::u16string& body : bodies)
            mails.push_back(const_cast<MailEntry*>(PlainMail(records, body)));
        const auto count = static_cast<std::uint32_t>(mails.size());
        list = MailList{MailEntryList{mails.data(), count, count}, 0, 0, 0, nullptr};
        view.resize(800, 600);
        view.show();
    }

    RecordBuilder records;
    std::vector<MailEntry*> mails;
    MailList list{};
    CListCtrlMails mailList;
    CVelmoraView view;
    MailPresenter presenter;
};

TEST(MailBodyTest, NoBodyIsRenderedWhileAWorkerUsesTheEngine) {
    bool workerRunning = true;
    PresentedMails shownMails({u"Waited for the worker"}, [&] { return workerRunning; });
    BodyDisplay& body = shownMails.view.Body();
    shownMails.presenter.Fill(&shownMails.list);
    EXPECT_EQ(shownMails.mailList.SelectedMail(), shownMails.mails[0]);
    QTest::qWait(3 * MailPresenter::kSettleMs);
    EXPECT_EQ(body.View(), nullptr) << "rendered while the worker ran";

    QSignalSpy shown(&body, &BodyDisplay::PageShown);
    workerRunning = false;
    ASSERT_TRUE(shown.wait(15000));
    EXPECT_TRUE(PlainText(body).contains("Waited for the worker"));
}

TEST(MailBodyTest, AMessageThatCannotBeRenderedLeavesABlankBodyAndSaysSo) {
    RecordingMessageHost messages;
    PresentedMails shownMails({u"Shown first", u"Never shown"}, [] { return false; });
    BodyDisplay& body = shownMails.view.Body();
    QSignalSpy shown(&body, &BodyDisplay::PageShown);
    shownMails.presenter.Fill(&shownMails.list);
    ASSERT_TRUE(shown.wait(15000));
    ASSERT_TRUE(PlainText(body).contains("Shown first"));

    // No working folder: there is nowhere to write the page.
    WorkFolderScope nowhere(u"/proc/velmora-no-such-folder");
    ASSERT_FALSE(nowhere.Ready());
    QSignalSpy notShown(&shownMails.presenter, &MailPresenter::MessageNotShown);
    shownMails.mailList.SelectRow(1);
    ASSERT_TRUE(notShown.wait(5000));
    ASSERT_TRUE(shown.wait(15000));
    EXPECT_TRUE(PlainText(body).trimmed().isEmpty());
    EXPECT_FALSE(messages.texts.empty()) << "the user was not told";
}

int PageFiles() {
    int count = 0;
    QDirIterator files(QString::fromStdU16String(GetWorkFolder()), {"*.mht"}, QDir::Files,
                       QDirIterator::Subdirectories);
    for (; files.hasNext(); files.next()) ++count;
    return count;
}

TEST(MailViewFrameTest, TheListFollowsTheFolderTreeAndTheBodyTheSelection) {
    VELMORA_REQUIRE_CORPUS();
    app::CMainFrame frame([](QWidget*) { return QString(); });
    frame.resize(1200, 800);
    frame.show();
    CListCtrlMails& list = frame.MailList().List();
    // What every view still showed when a worker began to rebuild the records.
    std::vector<int> rowsAtWorkerStart;
    std::vector<QString> subjectsAtWorkerStart;
    panes::OpenStoreContext context = TestOpenContext(&frame);
    context.runWorker = [&, run = context.runWorker](StatusBlock* status, panes::ThreadProc proc) {
        rowsAtWorkerStart.push_back(list.model()->rowCount());
        subjectsAtWorkerStart.push_back(frame.MailView().Header().Subject().text());
        run(status, std::move(proc));
    };
    frame.FolderTree().SetOpenContext(context);
    ASSERT_TRUE(frame.FolderTree().OpenStore(
        QString::fromStdString(CorpusFile("unicode-permute.pst").string())));

    const auto& model = frame.FolderTree().Tree().Stores();
    const QModelIndex top = model.index(0, 0, model.index(0, 0));
    int busiest = -1;
    for (int row = 0; row < model.rowCount(top); ++row) {
        frame.FolderTree().Tree().setCurrentIndex(model.index(row, 0, top));
        if (list.model()->rowCount() > 2) busiest = row;
        if (list.model()->rowCount() > 0) {
            EXPECT_EQ(list.SelectedMail(), list.Mails().MailAt(0));
            EXPECT_FALSE(frame.MailView().Header().Subject().text().isEmpty() &&
                         frame.MailView().Header().Sender().text().isEmpty());
        }
    }
    ASSERT_GE(busiest, 0) << "no folder with three messages";
    for (std::size_t i = 1; i < rowsAtWorkerStart.size(); ++i) {
        EXPECT_EQ(rowsAtWorkerStart[i], 0) << "worker " << i;
        EXPECT_TRUE(subjectsAtWorkerStart[i].isEmpty()) << "worker " << i;
    }

    // Holding the arrow key renders only where the selection rests, and the
    // page of an earlier message goes once the next one is on screen.
    frame.FolderTree().Tree().setCurrentIndex(model.index(busiest, 0, top));
    BodyDisplay& body = frame.MailView().Body();
    QSignalSpy shown(&body, &BodyDisplay::PageShown);
    list.setFocus();
    for (int i = 0; i < 2; ++i) QTest::keyClick(&list, Qt::Key_Down);
    ASSERT_TRUE(shown.wait(15000));
    QTest::qWait(500);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(list.SelectedMail(), list.Mails().MailAt(2));
    list.SelectRow(1);
    ASSERT_TRUE(shown.wait(15000));
    EXPECT_EQ(PageFiles(), 1);
}

// Every file below the run's working folder, by path.
QStringList RunFiles() {
    QStringList files;
    QDirIterator found(QString::fromStdU16String(GetWorkFolder()), QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
    while (found.hasNext()) files << found.next();
    files.sort();
    return files;
}

// The attachments of a first message pass through files on their way into its
// page; coming back to its folder must not leave another set of them.
TEST(MailViewFrameTest, ComingBackToAFolderLeavesWhatTheFirstVisitLeft) {
    VELMORA_REQUIRE_CORPUS();
    app::CMainFrame frame([](QWidget*) { return QString(); });
    ASSERT_TRUE(ShowWithCorpusStore(frame, "unicode-permute.pst"));
    CListCtrlMails& list = frame.MailList().List();
    BodyDisplay& body = frame.MailView().Body();
    auto& tree = frame.FolderTree().Tree();
    const auto& model = tree.Stores();
    QModelIndex withAttachments;
    QModelIndex other;
    std::vector<QModelIndex> folders = {model.index(0, 0)};
    for (std::size_t next = 0; next < folders.size() && next < 200; ++next) {
        const QModelIndex folder = folders[next];
        for (int row = 0; row < model.rowCount(folder); ++row)
            folders.push_back(model.index(row, 0, folder));
        tree.setCurrentIndex(folder);
        const MailEntry* first = list.model()->rowCount() > 0 ? list.Mails().MailAt(0) : nullptr;
        const bool attached =
            first != nullptr && first->attachments != nullptr && first->attachments->count > 0;
        if (attached && !withAttachments.isValid()) withAttachments = folder;
        if (!attached && !other.isValid() && next > 0) other = folder;
    }
    if (!withAttachments.isValid() || !other.isValid()) GTEST_SKIP() << "no such folders";

    const auto visit = [&](const QModelIndex& folder) {
        QSignalSpy shown(&body, &BodyDisplay::PageShown);
        tree.setCurrentIndex(folder);
        ASSERT_TRUE(shown.wait(15000));
        QTest::qWait(2 * MailPresenter::kSettleMs);
    };
    tree.setCurrentIndex(other);
    visit(withAttachments);
    visit(other);
    visit(withAttachments);
    const QStringList afterOneVisit = RunFiles();
    for (int again = 0; again < 2; ++again) {
        visit(other);
        visit(withAttachments);
    }
    EXPECT_EQ(RunFiles().size(), afterOneVisit.size()) << RunFiles().join('\n').toStdString();
}

}  // namespace
}  // namespace velmora::test
