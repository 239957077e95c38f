// The folders a store shows at its top: the root list of an engine handle,
// and the searches for the top of the personal folders and the IPM subtree.
#pragma once

#include "engine/interface/corvex_engine.h"

namespace velmora {

// The handle's root FolderList; an empty one is created (with the engine's
// allocator) and stored in the handle when it has none. Null for a null handle.
FolderList* RootFolders(EngineHandle* handle);

// The first root folder named "Top of Personal Folders" or "Top of Outlook data file".
FolderEntry* FindTopOfPersonalFolders(EngineHandle* handle);

// "IPM_SUBTREE" among the children of the first root folder named "Root - Mailbox".
FolderEntry* FindIpmSubtree(EngineHandle* handle);

}  // namespace velmora
