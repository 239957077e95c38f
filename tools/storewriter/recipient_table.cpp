#include "tools/storewriter/recipient_table.h"

#include "tools/storewriter/message_properties.h"
#include "tools/storewriter/property_list.h"
#include "tools/storewriter/table_context_writer.h"

namespace velmora::storewriter {
namespace {

std::vector<TableColumn> RecipientColumns(std::uint16_t stringType) {
    return {{prop::kRecipientType, ptype::kLong}, {prop::kResponsibility, ptype::kBoolean},
            {prop::kDisplayName, stringType},     {prop::kAddressType, stringType},
            {prop::kEmailAddress, stringType},    {prop::kDisplayType, ptype::kLong},
            {prop::kSmtpAddress, stringType},     {prop::kRecipientDisplayName, stringType}};
}

TableRowValues RecipientRow(std::uint32_t rowId, const RecipientSpec& recipient, bool ansi) {
    PropertyList cells(ansi);
    cells.Long(prop::kRecipientType, static_cast<std::uint32_t>(recipient.type))
        .Boolean(prop::kResponsibility, false)
        .String(prop::kDisplayName, recipient.displayName)
        .String(prop::kAddressType, recipient.addressType)
        .String(prop::kEmailAddress, recipient.emailAddress)
        .Long(prop::kDisplayType, 0)
        .String(prop::kRecipientDisplayName, recipient.displayName);
    if (recipient.addressType == "SMTP") cells.String(prop::kSmtpAddress, recipient.emailAddress);
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
