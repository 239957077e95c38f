// The OpenStatus every engine call sequence starts from: code 1, no text.
#pragma once

#include "engine/interface/corvex_engine.h"

namespace velmora {

inline OpenStatus FreshOpenStatus() {
    OpenStatus status{};
    status.code = 1;
    return status;
}

}  // namespace velmora
