// What the exports do, for one store variant. The extern "C" exports of each
// library forward here; tests call these directly.
#pragma once

#include <cstdint>

#include "engine/interface/corvex_engine.h"

namespace corvex {

template <typename V>
struct EngineApi {
    static std::int32_t Create(const char16_t* storePath, EngineHandle** handle, const char16_t* tempRoot);
    static std::int32_t Parse(const char16_t* storePath, EngineHandle* handle, OpenStatus* status);
    static std::int32_t ParseTest(const char16_t* tempRoot, const char16_t* storePath);
    static std::int32_t Delete(EngineHandle* handle);
};

}  // namespace corvex
