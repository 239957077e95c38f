// Connecting to the messaging component: found in the program's library
// folder, and the two ways a failure is shown.
#include <gtest/gtest.h>

#include "automation/component_registry.h"
#include "common/path_text.h"
#include "tests/support/test_paths.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::test {
namespace {

using messaging::ComponentRegistry;
using messaging::kMessageSessionProgId;

class RecordingMessageBox final : public MessageBoxHost {
  public:
    RecordingMessageBox() { SetMessageBoxHost(this); }
    ~RecordingMessageBox() override { SetMessageBoxHost(nullptr); }
    void Show(const std::u16string& caption, const std::u16string& text) override {
        shown.push_back(caption + u"|" + text);
    }
    std::vector<std::u16string> shown;
};

TEST(ConnectTest, ShowsWhyTheSessionCannotBeCreated) {
    const std::u16string longError(300, u'e');
    const struct {
        const char* name;
        std::filesystem::path folder;
        ComponentRegistry::Factory factory;
        bool connects;
        std::u16string shown;
    } cases[] = {
        {"the library in the program's folder", LibraryDir(), nullptr, true, {}},
        {"no library in the folder", CorpusDir(), nullptr, false,
         u"Error|Cannot Connect to Outlook"},
        {"no trusted folder", {}, nullptr, false, u"Error|Cannot Connect to Outlook"},
        {"creation fails quietly", LibraryDir(), [](auto&, auto&) { return false; }, false,
         u"Error|Cannot Connect to Outlook"},
        {"creation raises an error", LibraryDir(),
         [&](auto&, std::u16string& error) {
             error = longError;
             return false;
         },
         false, u"Error|" + longError.substr(0, 255)},
    };
    for (const auto& c : cases) {
        RecordingMessageBox box;
        ComponentRegistry::Instance().SetLibraryFolder(c.folder);
        if (c.factory)
            ComponentRegistry::Instance().RegisterFactory(kMessageSessionProgId, c.factory);
        CMailSaveAsInterface saver;
        EXPECT_EQ(saver.Connect(), c.connects) << c.name;
        EXPECT_EQ(box.shown, c.connects ? std::vector<std::u16string>{} : std::vector{c.shown})
            << c.name;
        ComponentRegistry::Instance().RegisterLibrary(kMessageSessionProgId,
                                                      messaging::kMessagingLibraryName);
    }
    ComponentRegistry::Instance().SetLibraryFolder(LibraryDir());
}

TEST(ConnectTest, RenderWithoutASessionWritesNothing) {
    CMailSaveAsInterface saver;
    EXPECT_FALSE(saver.RenderMessage(u"/nonexistent/x.mht"));
}

// Bodies and attachments pass through files in the working folder: without
// one the page would lack them, so nothing is rendered and the user is told.
TEST(ConnectTest, RenderWithoutAWorkingFolderIsRefusedAndShown) {
    const std::u16string saved = WorkFolder;
    WorkFolder.clear();
    ScratchDir out;
    RecordingMessageBox box;
    ComponentRegistry::Instance().SetLibraryFolder(LibraryDir());
    CMailSaveAsInterface saver;
    ASSERT_TRUE(saver.Connect());
    const MailEntry mail{};
    EXPECT_FALSE(saver.SaveMessageAs(common::PathToUtf16(out / "x.mht"), &mail));
    EXPECT_EQ(box.shown,
              std::vector<std::u16string>{std::u16string(u"Error|") + kNoWorkFolderText});
    EXPECT_TRUE(std::filesystem::is_empty(out.Path()));
    WorkFolder = saved;
}

}  // namespace
}  // namespace velmora::test
