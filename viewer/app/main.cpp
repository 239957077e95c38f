// Velmora: the windowed viewer. Start-up makes the working folder, installs
// the message boxes, shows the main frame and runs the interface loop; the
// frame closes every store before the program ends.
#include <QApplication>
#include <QStringList>

#include "viewer/app/app_settings.h"
#include "viewer/app/main_frame.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/gui_message_host.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(velmora::app::kSettingsOrganization);
    QApplication::setApplicationName(velmora::app::kSettingsApplication);

    // Without a working folder the viewer still runs; the engine then gets an empty root.
    velmora::InitWorkFolder();
    velmora::panes::GuiMessageBoxHost messageHost;
    velmora::SetMessageBoxHost(&messageHost);

    int result = 0;
    {
        velmora::app::CMainFrame frame;
        const QStringList stores = QApplication::arguments().mid(1);
        frame.showMaximized();
        for (const QString& store : stores) frame.FolderTree().OpenStore(store);
        result = QApplication::exec();
    }
    velmora::SetMessageBoxHost(nullptr);
    return result;
}
