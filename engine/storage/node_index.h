// The node B-tree's leaf records and the indexes the folder and message walks
// use: every node by NID, and folders and messages by their parent's NID.
#pragma once

#include <deque>

#include "engine/storage/btree_records.h"
#include "engine/storage/keyed_index.h"

namespace corvex {

using NodeMap = KeyedIndex<NbtEntry>;

struct FolderWalker {
    NodeMap nodes;            // by the NID as stored
    NodeMap folderChildren;   // normal and search folders, by parent NID
    NodeMap messageChildren;  // normal messages, by parent NID

    void Add(const NbtEntry& entry) {
        nodes.Add(entry.nid, &entry);
        const std::uint32_t type = entry.NidType();
        if (type == kNidTypeNormalFolder || type == kNidTypeSearchFolder) {
            folderChildren.Add(entry.nidParent, &entry);
        } else if (type == kNidTypeNormalMessage) {
            messageChildren.Add(entry.nidParent, &entry);
        }
    }

    void Seal() {
        nodes.Seal();
        folderChildren.Seal();
        messageChildren.Seal();
    }

    // A node by its 32-bit NID. In 64-bit stores the stored key carries 32 bits of
    // padding that are normally zero.
    const NbtEntry* FindNode(std::uint64_t nid) const { return nodes.Find(nid); }
};

}  // namespace corvex
