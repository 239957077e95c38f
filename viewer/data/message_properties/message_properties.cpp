#include "viewer/data/message_properties/message_properties.h"

#include <algorithm>

#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"

namespace velmora {
namespace {

PropertyLines AttachmentLines(const AttachmentRow* row, std::uint32_t codePage) {
    if (row == nullptr) return {};
    PropertyLines lines = DescribeProperties(row->object, codePage);
    const ExportedPropMap* cells = row->tableRow;
    for (std::uint32_t i = 0; cells != nullptr && cells->items != nullptr && i < cells->count;
         ++i) {
        const ExportedProp* cell = cells->items[i];
        if (cell != nullptr && FindProp(row->object, cell->id) == nullptr)
            lines.push_back(DescribeProperty(*cell, codePage));
    }
    // Both maps are in id order; the table's own cells join the object's in it.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const PropertyLine& a, const PropertyLine& b) { return a.id < b.id; });
    return lines;
}

}  // namespace

MessageProperties ListMessageProperties(const MailEntry* mail) {
    MessageProperties listed;
    if (mail == nullptr) return listed;
    listed.codePage = MessageCodePage(mail);
    listed.message = DescribeProperties(mail->props, listed.codePage);
    if (const RecipientRowList* recipients = mail->recipients; recipients != nullptr) {
        for (std::uint32_t i = 0; recipients->items != nullptr && i < recipients->count; ++i) {
            const RecipientRow* row = recipients->items[i];
            listed.recipients.push_back(
                DescribeProperties(row != nullptr ? row->tableRow : nullptr, listed.codePage));
        }
    }
    if (const AttachmentRowList* attachments = mail->attachments; attachments != nullptr) {
        for (std::uint32_t i = 0; attachments->items != nullptr && i < attachments->count; ++i)
            listed.attachments.push_back(AttachmentLines(attachments->items[i], listed.codePage));
    }
    return listed;
}

}  // namespace velmora
