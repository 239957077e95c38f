// A folder as the store keeps it: its property context (display name, counts,
// container class) and the three tables beside it, at NIDs that share the
// folder's index: the hierarchy table (its child folders), the contents table
// (its messages) and the associated contents table (kept empty).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/storewriter/node_content.h"
#include "tools/storewriter/property_value.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

constexpr std::uint32_t kHierarchyTableType = 0x0D;
constexpr std::uint32_t kContentsTableType = 0x0E;
constexpr std::uint32_t kAssociatedContentsTableType = 0x0F;

inline std::uint32_t FolderTableNid(std::uint32_t folderNid, std::uint32_t type) {
    return (folderNid & ~0x1Fu) | type;
}

struct ContentsRow {
    std::uint32_t messageNid = 0;
    std::vector<PropertyValue> cells;
    bool unread = false;
};

struct FolderRecord {
    std::uint32_t nid = 0;
    std::uint32_t parent = 0;
    std::string name;
    std::string containerClass;
    std::vector<std::uint32_t> children;
    std::vector<ContentsRow> messages;

    std::uint32_t UnreadCount() const;
};

NodeContent BuildFolderProperties(const VariantLayout& layout, const FolderRecord& folder);
NodeContent BuildHierarchyTable(const VariantLayout& layout,
                                std::span<const FolderRecord* const> children);
NodeContent BuildContentsTable(const VariantLayout& layout, std::span<const ContentsRow> rows);

}  // namespace velmora::storewriter
