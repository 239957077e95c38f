// Counts over a parsed session: what `velmora-cli info` reports. Reads the
// session the create export handed out, in the same process and build, through
// inline accessors only.
#pragma once

#include <array>
#include <cstdint>

#include "engine/interface/engine_session.h"

namespace corvex {

struct SessionSummary {
    std::uint16_t version = 0;
    std::uint8_t cryptMethod = 0;
    std::uint64_t blocks = 0;
    std::uint64_t nodes = 0;
    std::array<std::uint64_t, 32> nodesByType{};  // indexed by NID type
};

template <typename V>
SessionSummary Summarize(const ::EngineSession* opaque) {
    SessionSummary summary;
    if (opaque == nullptr) return summary;
    const auto& database = static_cast<const Session<V>*>(opaque)->Database();
    summary.version = database.Header().Version();
    summary.cryptMethod = database.Header().CryptMethod();
    summary.blocks = database.Blocks().map.Size();
    for (const auto& [key, node] : database.Walker().nodes.All()) {
        ++summary.nodes;
        ++summary.nodesByType[node->NidType()];
    }
    return summary;
}

}  // namespace corvex
