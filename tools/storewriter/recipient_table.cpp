#include "tools/storewriter/recipient_table.h"

#include "tools/storewriter/message_properties.h"
#include "tools/storewriter/property_list.h"
#include "tools/storewriter/table_context_writer.h"

namespace velmora::storewriter {
namespace {

std::vector<TableColumn> RecipientColumns(std::uint16_t stringType) {
    return {{common::prop::kRecipientType, common::ptype::kLong},
            {common::prop::kResponsibility, common::ptype::kBoolean},
            {common::prop::kDisplayName, stringType},
            {common::prop::kAddressType, stringType},
            {common::prop::kEmailAddress, stringType},
            {common::prop::kDisplayType, common::ptype::kLong},
            {common::prop::kSmtpAddress, stringType},
            {common::prop::kRecipientDisplayName, stringType}};
}

TableRowValues RecipientRow(std::uint32_t rowId, const RecipientSpec& recipient, bool ansi) {
    PropertyList cells(ansi);
    cells.Long(common::prop::kRecipientType, static_cast<std::uint32_t>(recipient.type))
        .Boolean(common::prop::kResponsibility, false)
        .String(common::prop::kDisplayName, recipient.displayName)
        .String(common::prop::kAddressType, recipient.addressType)
        .String(common::prop::kEmailAddress, recipient.emailAddress)
        .Long(common::prop::kDisplayType, 0)
        .String(common::prop::kRecipientDisplayName, recipient.displayName);
    if (recipient.addressType == "SMTP")
        cells.String(common::prop::kSmtpAddress, recipient.emailAddress);
    return {rowId, cells.Take()};
}

}  // namespace

NodeContent BuildRecipientTable(const VariantLayout& layout,
                                std::span<const RecipientSpec> recipients) {
    std::vector<TableRowValues> rows;
    for (std::size_t i = 0; i < recipients.size(); ++i) {
        rows.push_back(RecipientRow(static_cast<std::uint32_t>(i), recipients[i], layout.Ansi()));
    }
    SubnodeNids nids;
    const PropertyList probe(layout.Ansi());
    return BuildTableContext(layout, RecipientColumns(probe.StringType()), rows, nids);
}

}  // namespace velmora::storewriter
