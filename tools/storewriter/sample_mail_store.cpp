#include "tools/storewriter/sample_mail_store.h"

namespace velmora::storewriter {
namespace {

constexpr const char* kPeople[] = {"Alice Moreau", "Bruno Keller", "Chiara Rossi", "Dmitri Volkov",
                                   "Émile Durand", "Farah Haddad", "Gunnar Berg",  "Hana Sato"};
constexpr const char* kWords[] = {"meeting", "report",  "budget",  "review", "schedule", "draft",
                                  "invoice", "project", "summary", "agenda", "update",   "team"};
constexpr std::uint64_t kBaseTime = 133000000000000000ull;  // early 2022
constexpr std::uint64_t kHour = 36000000000ull;

std::uint64_t Pick(const SyntheticStoreShape& shape, std::uint64_t key, std::uint64_t count) {
    const std::vector<std::uint8_t> bytes = SyntheticBytes(shape.seed, key, 2);
    return (bytes[0] | (bytes[1] << 4)) % count;
}

std::string Address(const std::string& name) {
    std::string address;
    for (const char c : name) {
        if (c == ' ')
            address += '.';
        else if (c >= 'A' && c <= 'Z')
            address += static_cast<char>(c - 'A' + 'a');
        else if (c >= 'a' && c <= 'z')
            address += c;
    }
    return address + "@example.org";
}

std::string BodyText(const SyntheticStoreShape& shape, std::uint64_t key) {
    std::string text;
    for (std::uint64_t i = 0; text.size() < shape.bodySize; ++i) {
        text += kWords[Pick(shape, key * 131 + i, std::size(kWords))];
        text += i % 12 == 11 ? ".\r\n" : " ";
    }
    text.resize(shape.bodySize);
    return text;
}

std::vector<RecipientSpec> Recipients(const SyntheticStoreShape& shape, std::uint64_t key) {
    std::vector<RecipientSpec> recipients;
    for (std::uint32_t r = 0; r < shape.recipientsPerMessage; ++r) {
        const std::string name = kPeople[(key + r + 1) % std::size(kPeople)];
        recipients.push_back(
            {name, Address(name), "SMTP", r == 0 ? RecipientType::kTo : RecipientType::kCc});
    }
    return recipients;
}

AttachmentSpec Attachment(const SyntheticStoreShape& shape, std::uint64_t key,
                          std::uint32_t index) {
    // Short names, as people give their files, numbered once they repeat.
    static constexpr const char* kStems[] = {"agenda", "figures", "notes", "draft"};
    std::string name = kStems[index % std::size(kStems)];
    if (index >= std::size(kStems)) name += "-" + std::to_string(index / std::size(kStems) + 1);
    name += index % 2 == 0 ? ".txt" : ".bin";
    return {name, SyntheticBytes(shape.seed, key * 1000 + index, shape.attachmentSize), nullptr};
}

MessageSpec EmbeddedNote(const MessageSpec& outer) {
    MessageSpec note;
    note.subject = "Fwd: " + outer.subject;
    note.senderName = outer.senderName;
    note.senderEmail = outer.senderEmail;
    note.submitTime = outer.submitTime - kHour;
    note.body = "Forwarded: " + outer.subject;
    note.recipients = {outer.recipients.begin(),
                       outer.recipients.begin() + (outer.recipients.empty() ? 0 : 1)};
    return note;
}

}  // namespace

std::string SampleFolderName(std::uint32_t folder) {
    static const char* const kNames[] = {"Inbox", "Sent Items", "Deleted Items"};
    return folder < std::size(kNames) ? kNames[folder] : "Folder " + std::to_string(folder + 1);
}

MessageSpec SampleMessage(const SyntheticStoreShape& shape, std::uint32_t folder,
                          std::uint32_t message) {
    const std::uint64_t key = (std::uint64_t{folder} << 32) | message;
    MessageSpec mail;
    const std::string sender = kPeople[Pick(shape, key, std::size(kPeople))];
    mail.subject = std::string(kWords[Pick(shape, key + 7, std::size(kWords))]) + " " +
                   std::to_string(message + 1) + " in " + SampleFolderName(folder);
    mail.senderName = sender;
    mail.senderEmail = Address(sender);
    mail.submitTime = kBaseTime + (key % 100000) * kHour;
    mail.flags = message % 3 == 0 ? 0 : kMessageFlagRead;
    mail.importance = static_cast<std::uint32_t>(message % 3);
    mail.body = BodyText(shape, key);
    mail.htmlBody = "<html><body><p>" + mail.body + "</p></body></html>";
    if (message % 2 == 0) mail.rtfBody = "{\\rtf1\\ansi\\deff0 " + mail.body + "\\par}";
    mail.recipients = Recipients(shape, key);
    for (std::uint32_t a = 0; a < shape.attachmentsPerMessage; ++a)
        mail.attachments.push_back(Attachment(shape, key, a));
    if (message % 5 == 4 && !mail.attachments.empty()) {
        mail.attachments.back() = {"", {}, std::make_shared<MessageSpec>(EmbeddedNote(mail))};
    }
    return mail;
}

bool BuildSampleMailStore(StoreBuilder& builder, const SyntheticStoreShape& shape) {
    for (std::uint32_t f = 0; f < shape.folders; ++f) {
        const std::uint32_t folder = builder.AddFolder(builder.TopFolder(), SampleFolderName(f));
        for (std::uint32_t m = 0; m < shape.messagesPerFolder; ++m) {
            if (builder.AddMessage(folder, SampleMessage(shape, f, m)) == 0) return false;
        }
    }
    return true;
}

}  // namespace velmora::storewriter
