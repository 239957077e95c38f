// The window's open paths (File > Select File... and the command line) on
// store files that are not what they seem: a store cut short opens with the
// engine's message and whatever can still be read; a store whose name is no
// UTF-8 opens as any other, from the dialog's lossy text and from the
// argument's own bytes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <fstream>
#include <string>

#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/app/main_frame.h"
#include "viewer/app/store_arguments.h"
#include "viewer/app/store_file_dialog.h"
#include "viewer/panes/class_view.h"

namespace velmora::app {
namespace {

namespace fs = std::filesystem;

// What a file dialog hands back for a file: its name decoded as the window
// system decodes names, lossily where they are no UTF-8.
QString AsTheDialogShowsIt(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

// The store's folders in the tree, below its root item.
int FoldersShown(const panes::StoreList& stores) {
    int count = 0;
    const auto countBelow = [&](const auto& self, const QModelIndex& parent) -> void {
        for (int row = 0; row < stores.rowCount(parent); ++row) {
            const QModelIndex child = stores.index(row, 0, parent);
            ++count;
            self(self, child);
        }
    };
    countBelow(countBelow, stores.index(0, 0));
    return count;
}

TEST(StoreFileOpenTest, CutShortStoreOpensWithTheMessageAndWhatRemains) {
    VELMORA_REQUIRE_CORPUS();
    const test::ScratchDir scratch;
    for (const char* name :
         {"ansi-many-items.pst", "unicode-cyclic.pst", "ost4k/unicode-cyclic.ost"}) {
        SCOPED_TRACE(name);
        const fs::path original = test::CorpusFile(name);
        const std::size_t size = fs::file_size(original);
        const std::size_t cut = size - 1;  // the last byte holds nothing the tree needs
        const fs::path copy = scratch / "cut.store";
        fs::remove(copy);
        fs::copy_file(original, copy);
        fs::resize_file(copy, cut);

        int intactFolders = 0;
        {
            CMainFrame frame([&](QWidget*) { return AsTheDialogShowsIt(original); });
            frame.FolderTree().SetOpenContext(test::TestOpenContext(&frame));
            frame.OnSelectFile();
            intactFolders = FoldersShown(frame.FolderTree().Tree().Stores());
        }
        test::RecordingMessageHost messages;
        CMainFrame frame([&](QWidget*) { return AsTheDialogShowsIt(copy); });
        frame.FolderTree().SetOpenContext(test::TestOpenContext(&frame));
        frame.OnSelectFile();
        EXPECT_EQ(messages.texts,
                  std::vector<std::string>{"The file is shorter than its header says (" +
                                           std::to_string(cut) + " of " + std::to_string(size) +
                                           " bytes); it may be cut off"});
        const auto& stores = frame.FolderTree().Tree().Stores();
        ASSERT_EQ(stores.rowCount(), 1) << "what can still be read is shown";
        EXPECT_GT(intactFolders, 0);
        EXPECT_EQ(FoldersShown(stores), intactFolders);
    }
}

TEST(StoreFileOpenTest, StoreNamedInLatin1OpensFromTheDialogAndTheCommandLine) {
    VELMORA_REQUIRE_CORPUS();
    const test::ScratchDir scratch;
    fs::create_directories(scratch / "Archiv \xE4lter");
    const fs::path store = scratch / "Archiv \xE4lter" /
                           "Gr\xFC\xDF"
                           "e.pst";
    fs::copy_file(test::CorpusFile("ansi-many-items.pst"), store);
    ASSERT_TRUE(AsTheDialogShowsIt(store).contains(QChar::ReplacementCharacter));

    // The dialog hands back the lossy text of the chosen file rather than
    // refusing it as missing.
    const std::unique_ptr<QFileDialog> dialog = NewStoreFileDialog(nullptr);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setDirectory(QString::fromStdString(scratch.Path().string()));
    dialog->selectFile(AsTheDialogShowsIt(store));
    // A dialog that refuses the name says so in a box of its own; it is closed
    // so that the refusal fails the test rather than hanging it.
    bool refused = false;
    QTimer closeRefusal;
    closeRefusal.setSingleShot(true);
    QObject::connect(&closeRefusal, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            refused = true;
            box->close();
        }
    });
    closeRefusal.start(500);
    QMetaObject::invokeMethod(dialog.get(), "accept");  // what the Open button does
    closeRefusal.stop();
    EXPECT_FALSE(refused);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->selectedFiles(), QStringList{AsTheDialogShowsIt(store)});

    test::RecordingMessageHost messages;
    CMainFrame frame([&](QWidget*) { return AsTheDialogShowsIt(store); });
    frame.FolderTree().SetOpenContext(test::TestOpenContext(&frame));
    frame.OnSelectFile();
    EXPECT_EQ(frame.FolderTree().Tree().Stores().rowCount(), 1);

    // The command line: the framework's decoding of the arguments, and the
    // arguments themselves, with an option in between.
    std::string program = "Velmora";
    std::string option = "--reverse";
    std::string argument = store.native();
    const char* argv[] = {program.c_str(), option.c_str(), argument.c_str()};
    const QStringList stores = StoreArguments({QString::fromLocal8Bit(argument)}, 3, argv);
    ASSERT_EQ(stores.size(), 1);
    EXPECT_TRUE(frame.FolderTree().OpenStore(stores.front()));
    EXPECT_EQ(frame.FolderTree().Tree().Stores().rowCount(), 2);
    EXPECT_TRUE(messages.texts.empty()) << messages.texts.front();
}

}  // namespace
}  // namespace velmora::app
