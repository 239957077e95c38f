// A stand-in engine library with nothing but the Unicode create export.
#include "engine/interface/corvex_engine.h"

namespace {
EngineHandle stubHandle{};
}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t _ExpCreatePFF64Object(
    const CorvexChar*, EngineHandle** handle, const CorvexChar*, OpenStatus*) {
    *handle = &stubHandle;
    return 0;
}
