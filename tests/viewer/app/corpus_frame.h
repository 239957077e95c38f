// The main frame as the window tests use it: on screen, with one corpus store
// opened through this build's engine libraries.
#pragma once

#include <QString>

#include "tests/support/test_paths.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/app/main_frame.h"
#include "viewer/panes/class_view.h"

namespace velmora::test {

// Shows `frame` and opens the corpus store `store` in it; false when it does not open.
inline bool ShowWithCorpusStore(app::CMainFrame& frame, const char* store) {
    frame.resize(1200, 800);
    frame.show();
    frame.FolderTree().SetOpenContext(TestOpenContext(&frame));
    return frame.FolderTree().OpenStore(QString::fromStdString(CorpusFile(store).string()));
}

}  // namespace velmora::test
