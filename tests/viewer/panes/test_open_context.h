// The open command as the window tests run it: the engine libraries of this
// build, the real progress dialog, the test's working folder.
#pragma once

#include "tests/support/test_paths.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/open_store.h"

namespace velmora::test {

inline panes::OpenStoreContext TestOpenContext(QWidget* dialogParent) {
    return {[](std::uint16_t version) { return CreateParserForVersion(version, LibraryDir()); },
            panes::DialogRunner(dialogParent), GetWorkFolder()};
}

}  // namespace velmora::test
