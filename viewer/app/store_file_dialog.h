// The open command's file dialog. The window system shows a file name that is
// no UTF-8 lossily, and a dialog that asks for an existing file would refuse
// that text as missing; this one hands it back, and the open command finds
// the file behind it (common/shown_path.h) or tells the user there is none.
#pragma once

#include <QFileDialog>
#include <memory>

namespace velmora::app {

std::unique_ptr<QFileDialog> NewStoreFileDialog(QWidget* parent);

}  // namespace velmora::app
