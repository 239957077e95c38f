// Every corpus store and 4K twin through the real window, without a browser:
// every folder and every message of each, its header as the reader expects it
// and its page rendered. It runs under the sanitizers too; the event loop
// never runs between two selections, so the body's browser never starts.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <filesystem>
#include <map>

#include "tests/support/test_paths.h"
#include "tests/viewer/app/window_walk.h"
#include "viewer/app/main_frame.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"
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

TEST(WindowWalkTest, EveryCorpusStoreShowsEachMessagesHeaderAndRendersItsPage) {
    VELMORA_REQUIRE_CORPUS();
    const auto corpusBefore = CorpusState();
    WalkCounts counts;
    int stores = 0;
    for (const auto& store : CorpusStoreFiles()) {
        SCOPED_TRACE(store.filename().string());
        app::CMainFrame frame([](QWidget*) { return QString(); });
        frame.resize(1000, 700);
        CWndMailHeader& header = frame.MailView().Header();
        const bool opened = WalkStore(
            frame, store, MessagesPerFolderToWalk(0),
            [&](const MailEntry* mail) {
                ASSERT_NE(mail, nullptr);
                EXPECT_EQ(header.Subject().text(), QString::fromStdU16String(MailSubject(mail)));
                EXPECT_EQ(header.Sender().text(), QString::fromStdU16String(SenderLine(mail)));
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
    std::printf("walked %d stores, %d tree items, %d messages\n", stores, counts.folders,
                counts.messages);
}

}  // namespace
}  // namespace velmora::test
