// The folders a store shows at its top: the root list of an engine handle,
// and the searches for the top of the personal folders and the IPM subtree.
#pragma once

#include "engine/interface/corvex_engine.h"

namespace velmora {

// The handle's root FolderList, read in place. Null until the engine has
// enumerated the root folders, and for a null handle: the engine allocates and
// frees every list it hands out, so the viewer never makes one for it.
FolderList* RootFolders(EngineHandle* handle);

// The first root folder named "Top of Personal Folders" or "Top of Outlook data file".
FolderEntry* FindTopOfPersonalFolders(EngineHandle* handle);

// "IPM_SUBTREE" among the children of the first root folder named "Root - Mailbox".
FolderEntry* FindIpmSubtree(EngineHandle* handle);

}  // namespace velmora
