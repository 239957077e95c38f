// The stop word that the caller may set from another thread to end a running
// walk. It is read before every item of every walk.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/storage/variant_traits.h"

namespace corvex {

class StopToken {
  public:
    StopToken() = default;
    explicit StopToken(std::int32_t* word) : word_(word) {}

    bool Stopped() const {
        return word_ != nullptr &&
               std::atomic_ref<std::int32_t>(*word_).load(std::memory_order_relaxed) == kStopState;
    }

  private:
    std::int32_t* word_ = nullptr;
};

}  // namespace corvex
