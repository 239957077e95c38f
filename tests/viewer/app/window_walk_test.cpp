// Every corpus store and 4K twin through the real window, without a browser:
// every folder and every message of each, its header as the reader expects it,
// its page rendered, and each attachment in its strip opened (the desktop's
// part recorded, not done). It runs under the sanitizers too; the event loop
// never runs between two selections, so the body's browser never starts.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QUrl>
#include <filesystem>
#include <map>

#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/app/window_walk.h"
#include "viewer/app/main_frame.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/mail_view/list_ctrl_attach.h"
#include "viewer/panes/mail_view/mail_presenter.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"

namespace velmora::test {
namespace {

// Each file of the corpus with its size and time of last change.
std::map<std::filesystem::path, std::pair<std::uintmax_t, std::filesystem::file_time_type>>
CorpusState() {
    std::map<std::filesystem::path, std::pair<std::uintmax_t, std::filesystem::file_time_type>>
        state;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CorpusDir()))
        state[entry.path()] = {entry.is_regular_file() ? entry.file_size() : 0,
                               entry.last_write_time()};
    return state;
}

// Opens every attachment of the strip that is a file, as a double-click does;
// returns how many reached the desktop. Attached messages open in windows with
// a browser of their own, which the browser walk covers.
int OpenFileAttachments(CListCtrlAttach& strip, const MailEntry* mail) {
    std::vector<QString> opened;
    strip.SetDesktop({[&](const QUrl& url) {
                          opened.push_back(url.toLocalFile());
                          return true;
                      },
                      [](QWidget*, const QString&) { return false; },
                      [](QWidget*, const QString&) { return QString(); },
                      [](QWidget*) { return QString(); },
                      [](QWidget*, const QString&) { return false; }});
    const AttachmentRowList* rows = mail->attachments;
    for (std::uint32_t i = 0; rows != nullptr && i < rows->count; ++i) {
        if (!AttachmentHoldsObject(rows->items[i])) strip.OpenItem(static_cast<int>(i));
    }
    // Opened copies are the user's alone, and read-only.
    for (const QString& file : opened) {
        const auto status = std::filesystem::status(file.toStdString());
        EXPECT_EQ(status.permissions(), std::filesystem::perms::owner_read) << file.toStdString();
    }
    return static_cast<int>(opened.size());
}

TEST(WindowWalkTest, EveryCorpusStoreShowsEachMessagesHeaderStripAndPage) {
    VELMORA_REQUIRE_CORPUS();
    RecordingMessageHost messages;
    const auto corpusBefore = CorpusState();
    WalkCounts counts;
    int stores = 0;
    int attachments = 0;
    int openedFiles = 0;
    for (const auto& store : CorpusStoreFiles()) {
        SCOPED_TRACE(store.filename().string());
        app::CMainFrame frame([](QWidget*) { return QString(); });
        frame.resize(1000, 700);
        CWndMailHeader& header = frame.MailView().Header();
        CListCtrlAttach& strip = frame.MailView().Attachments();
        const bool opened = WalkStore(
            frame, store, MessagesPerFolderToWalk(0),
            [&](const MailEntry* mail) {
                ASSERT_NE(mail, nullptr);
                EXPECT_EQ(header.Subject().text(), QString::fromStdU16String(MailSubject(mail)));
                EXPECT_EQ(header.Sender().text(), QString::fromStdU16String(SenderLine(mail)));
                const int rows =
                    mail->attachments != nullptr ? static_cast<int>(mail->attachments->count) : 0;
                EXPECT_EQ(strip.Rows().rowCount(), rows);
                EXPECT_EQ(strip.isHidden(), rows == 0);
                attachments += rows;
                openedFiles += OpenFileAttachments(strip, mail);
                const std::u16string page = NewScratchPath() + u".mht";
                EXPECT_TRUE(RenderSelectedMessage(mail, page));
                std::filesystem::remove(std::filesystem::path(page));
            },
            counts);
        EXPECT_TRUE(opened);
        stores += opened;
        // Nothing may render once the walk is over: the records go with the frame.
        frame.findChild<MailPresenter*>()->Clear();
    }
    EXPECT_GE(stores, 40);
    EXPECT_GT(counts.messages, 100);
    // Reading never changes a store.
    EXPECT_EQ(CorpusState(), corpusBefore);
    EXPECT_GT(openedFiles, 0);
    std::printf(
        "walked %d stores, %d tree items, %d messages, %d attachments (%d opened, %zu "
        "messages to the user)\n",
        stores, counts.folders, counts.messages, attachments, openedFiles, messages.texts.size());
}

}  // namespace
}  // namespace velmora::test
