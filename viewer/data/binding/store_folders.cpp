#include "viewer/data/binding/store_folders.h"

#include <set>
#include <string>

#include "viewer/data/mail_access/record_getters.h"

namespace velmora {
namespace {

// The first folder of the list whose name is one of `names`, compared exactly.
FolderEntry* FirstNamed(const FolderList* list, const std::set<std::u16string>& names) {
    if (list == nullptr) return nullptr;
    for (std::uint32_t i = 0; i < list->count; ++i) {
        if (list->items[i] != nullptr && names.contains(FolderName(list->items[i])))
            return list->items[i];
    }
    return nullptr;
}

}  // namespace

FolderList* RootFolders(EngineHandle* handle) {
    return handle != nullptr ? handle->rootFolders : nullptr;
}

FolderEntry* FindTopOfPersonalFolders(EngineHandle* handle) {
    return FirstNamed(RootFolders(handle),
                      {u"Top of Personal Folders", u"Top of Outlook data file"});
}

FolderEntry* FindIpmSubtree(EngineHandle* handle) {
    const FolderEntry* mailbox = FirstNamed(RootFolders(handle), {u"Root - Mailbox"});
    return mailbox != nullptr ? FirstNamed(mailbox->children, {u"IPM_SUBTREE"}) : nullptr;
}

}  // namespace velmora
