#include "viewer/data/mail_writer/item_text.h"

#include <strings.h>

#include "common/utf16_text.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"

namespace velmora {
namespace {

struct LabelledField {
    std::uint16_t id;
    const char* label;
};

// The fields a contact keeps under fixed property ids; those kept under
// named properties (e-mail addresses, an appointment's times) vary by store
// and are not read here.
constexpr LabelledField kItemFields[] = {
    {0x3001, "Name"},         {0x3A45, "Title"},          {0x3A06, "Given name"},
    {0x3A11, "Surname"},      {0x3A16, "Company"},        {0x3A17, "Job title"},
    {0x3A18, "Department"},   {0x3A08, "Business phone"}, {0x3A09, "Home phone"},
    {0x3A1C, "Mobile phone"}, {0x3A24, "Business fax"},   {0x3A29, "Street"},
    {0x3A27, "City"},         {0x3A28, "State"},          {0x3A2A, "Postal code"},
    {0x3A26, "Country"},      {0x3A51, "Web page"},
};

bool IsMailClass(const std::string& itemClass) {
    return itemClass.empty() || strncasecmp(itemClass.c_str(), "IPM.Note", 8) == 0 ||
           strncasecmp(itemClass.c_str(), "REPORT.", 7) == 0;
}

}  // namespace

std::optional<std::string> ItemFieldsText(const MailEntry& mail) {
    const std::uint32_t codePage = MessageCodePage(&mail);
    if (IsMailClass(common::Utf16ToUtf8(PropText(mail.props, prop::kMessageClass, codePage))))
        return std::nullopt;
    std::string text;
    for (const LabelledField& field : kItemFields) {
        const ExportedProp* value = FindProp(mail.props, field.id);
        if (value == nullptr ||
            (value->type != common::ptype::kUnicode && value->type != common::ptype::kString8))
            continue;
        const std::string line = common::Utf16ToUtf8(PropText(mail.props, field.id, codePage));
        if (!line.empty()) text += std::string(field.label) + ": " + line + "\n";
    }
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace velmora
