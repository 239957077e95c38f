// The render command: a message saved as the page the viewer shows for it.
#pragma once

#include <cstdint>
#include <filesystem>

#include "engine/interface/corvex_engine.h"

namespace velmora::cli {

// Rebuilds message `messageNid` in the messaging component and saves it as
// one MHTML file at `output`, exactly as the viewer does for a selected message.
int RunRender(const std::filesystem::path& store, std::uint32_t messageNid,
              const std::filesystem::path& output);

class StoreSession;
// Saves `mail`, a record of the open `session`, as that file; 0, or 1 after
// reporting why not. The rebuild's copies stay in the session's scratch folder.
int SaveRendered(StoreSession& session, const MailEntry* mail, const std::filesystem::path& output);

}  // namespace velmora::cli
