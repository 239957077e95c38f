// The status the viewer hands to an open: the caller sets 1, so a test sees
// whether the engine changed it.
#pragma once

#include "engine/interface/corvex_engine.h"

namespace velmora::test {

inline OpenStatus FreshStatus() {
    OpenStatus status{};
    status.code = 1;
    return status;
}

}  // namespace velmora::test
