#include "tools/storewriter/folder_writer.h"

#include "tools/storewriter/message_properties.h"
#include "tools/storewriter/message_writer.h"
#include "tools/storewriter/property_context_writer.h"
#include "tools/storewriter/property_list.h"
#include "tools/storewriter/table_context_writer.h"

namespace velmora::storewriter {
namespace {

PropertyList FolderProperties(const VariantLayout& layout, const FolderRecord& folder) {
    PropertyList properties(layout.Ansi());
    properties.String(common::prop::kDisplayName, folder.name)
        .Long(common::prop::kContentCount, static_cast<std::uint32_t>(folder.messages.size()))
        .Long(common::prop::kContentUnread, folder.UnreadCount())
        .Boolean(common::prop::kSubfolders, !folder.children.empty());
    if (!folder.containerClass.empty())
        properties.String(common::prop::kContainerClass, folder.containerClass);
    return properties;
}

std::vector<TableColumn> HierarchyColumns(const VariantLayout& layout) {
    const std::uint16_t text = layout.Ansi() ? common::ptype::kString8 : common::ptype::kUnicode;
    return {{common::prop::kDisplayName, text},
            {common::prop::kContentCount, common::ptype::kLong},
            {common::prop::kContentUnread, common::ptype::kLong},
            {common::prop::kSubfolders, common::ptype::kBoolean},
            {common::prop::kContainerClass, text}};
}

}  // namespace

std::uint32_t FolderRecord::UnreadCount() const {
    std::uint32_t unread = 0;
    for (const ContentsRow& row : messages) unread += row.unread ? 1 : 0;
    return unread;
}

NodeContent BuildFolderProperties(const VariantLayout& layout, const FolderRecord& folder) {
    SubnodeNids nids;
    return BuildPropertyContext(layout, FolderProperties(layout, folder).Values(), nids);
}

NodeContent BuildHierarchyTable(const VariantLayout& layout,
                                std::span<const FolderRecord* const> children) {
    std::vector<TableRowValues> rows;
    rows.reserve(children.size());
    for (const FolderRecord* child : children)
        rows.push_back({child->nid, FolderProperties(layout, *child).Take()});
    SubnodeNids nids;
    return BuildTableContext(layout, HierarchyColumns(layout), rows, nids);
}

NodeContent BuildContentsTable(const VariantLayout& layout, std::span<const ContentsRow> messages) {
    std::vector<TableRowValues> rows;
    rows.reserve(messages.size());
    for (const ContentsRow& message : messages) rows.push_back({message.messageNid, message.cells});
    SubnodeNids nids;
    return BuildTableContext(layout, ContentsTableColumns(layout), rows, nids);
}

}  // namespace velmora::storewriter
