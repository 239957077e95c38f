#include "viewer/app/store_file_dialog.h"

namespace velmora::app {

std::unique_ptr<QFileDialog> NewStoreFileDialog(QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(
        parent, QObject::tr("Select the PST File to View"), QString(),
        QObject::tr("Outlook data files(*.pst *.ost);;All Files (*)"));
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    return dialog;
}

}  // namespace velmora::app
