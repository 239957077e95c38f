// The render command: a message saved as the page the viewer shows for it.
#pragma once

#include <cstdint>
#include <filesystem>

namespace velmora::cli {

// Rebuilds message `messageNid` in the messaging component and saves it as
// one MHTML file at `output`, exactly as the viewer does for a selected message.
int RunRender(const std::filesystem::path& store, std::uint32_t messageNid,
              const std::filesystem::path& output);

}  // namespace velmora::cli
