#include "viewer/data/mail_access/recipient_lines.h"

#include "viewer/data/mail_access/record_getters.h"

namespace velmora {
namespace {

void AppendEntry(std::u16string& line, const std::u16string& entry) {
    if (!line.empty()) line += u"; ";
    line += entry;
}

std::u16string* LineForType(RecipientLineSet& lines, std::int32_t type) {
    switch (type) {
        case 1:
            return &lines.to;
        case 2:
            return &lines.cc;
        case 3:
            return &lines.bcc;
        default:
            return nullptr;
    }
}

}  // namespace

std::u16string AddressedName(const std::u16string& name, std::u16string address) {
    if (address.find(u'@') == std::u16string::npos) return name;
    const std::size_t www = address.find(u"@www.");
    if (www != std::u16string::npos) address.erase(www + 1, 4);
    return name + u" <" + address + u">";
}

RecipientLineSet RecipientLines(const MailEntry* mail) {
    RecipientLineSet lines;
    if (mail == nullptr || mail->recipients == nullptr) return lines;
    const std::uint32_t codePage = MessageCodePage(mail);
    for (std::uint32_t i = 0; i < mail->recipients->count; ++i) {
        const RecipientRow* row = mail->recipients->items[i];
        std::u16string* line = LineForType(lines, RecipientType(row));
        if (line != nullptr)
            AppendEntry(*line,
                        AddressedName(FolderName(row, codePage), RecipientAddress(row, codePage)));
    }
    return lines;
}

}  // namespace velmora
