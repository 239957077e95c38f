// Velmora: the windowed viewer. Start-up makes the working folder, installs
// the message boxes, shows the main frame and runs the interface loop; the
// frame closes every store before the program ends.
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include <filesystem>
#include <memory>

#include "common/path_text.h"
#include "viewer/app/app_icon.h"
#include "viewer/app/app_settings.h"
#include "viewer/app/main_frame.h"
#include "viewer/app/store_arguments.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/data/work_folder/opened_copies.h"
#include "viewer/data/work_folder/run_folder.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/gui_message_host.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/browser_sandbox.h"
#include "viewer/panes/mail_view/velmora_view.h"

namespace {

// This run's value files and scratch files go into a folder of its own below
// the working folder, which goes when the program ends; folders of earlier
// runs that ended without removing theirs go now. So do the copies of
// attachments that earlier runs opened and nobody changed: they outlive their
// run, since the programs that show them may still read them, and this run's
// go beside them.
std::unique_ptr<velmora::WorkFolderScope> EnterRunFolder(velmora::RunFolder& run) {
    const std::u16string workFolder = velmora::GetWorkFolder();
    if (workFolder.empty()) return nullptr;
    const std::filesystem::path base = common::PathFromUtf16(workFolder);
    velmora::RemoveEndedRunFolders(base);
    velmora::RemoveUnchangedOpenedCopies(base);
    velmora::SetOpenedCopiesBase(base);
    std::string error;
    if (!run.Create(base, "velmora-run-", error)) return nullptr;
    return std::make_unique<velmora::WorkFolderScope>(common::PathToUtf16(run.Path()));
}

}  // namespace

int main(int argc, char* argv[]) {
    velmora::PrepareBodyBrowserStart();
    // The message body's web view shares the window's graphics contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(velmora::app::kSettingsOrganization);
    QApplication::setApplicationName(velmora::app::kSettingsApplication);
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QApplication::setWindowIcon(velmora::app::AppIcon());
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Velmora: a viewer for PST and OST mail stores."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("STORE"),
                                  QStringLiteral("Stores to open at start-up (.pst, .ost)."),
                                  QStringLiteral("[STORE...]"));
    options.process(application);

    // Without a working folder the viewer still runs; the engine then gets an empty root.
    velmora::InitWorkFolder();
    velmora::RunFolder run;
    const std::unique_ptr<velmora::WorkFolderScope> runScope = EnterRunFolder(run);
    velmora::panes::GuiMessageBoxHost messageHost;
    velmora::SetMessageBoxHost(&messageHost);

    int result = 0;
    {
        velmora::app::CMainFrame frame;
        const QStringList stores =
            velmora::app::StoreArguments(options.positionalArguments(), argc, argv);
        frame.showMaximized();
        // Before a store's records take memory: see BodyDisplay::StartBrowser.
        frame.MailView().Body().StartBrowser();
        for (const QString& store : stores) frame.FolderTree().OpenStore(store);
        result = QApplication::exec();
    }
    velmora::SetMessageBoxHost(nullptr);
    return result;
}
