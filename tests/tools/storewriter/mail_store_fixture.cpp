#include "tests/tools/storewriter/mail_store_fixture.h"

#include "tests/tools/storewriter/writer_cases.h"

namespace velmora::storewriter::test {
namespace {

MessageSpec FullMessage() {
    MessageSpec m;
    m.subject = "Quarterly report";
    m.senderName = "Alice Moreau";
    m.senderEmail = "alice@example.org";
    m.submitTime = 132900000000000000ull;
    m.flags = 0;
    m.importance = 2;
    m.body = "Hello,\r\nthe report is attached.\r\n";
    m.htmlBody = "<html><body><p>Hello,</p><p>the report is attached.</p></body></html>";
    m.rtfBody = "{\\rtf1\\ansi\\deff0 Hello,\\par the report is attached.\\par}";
    m.recipients = {{"Bruno Keller", "bruno@example.org", "SMTP", RecipientType::kTo},
                    {"Chiara Rossi", "chiara@example.org", "SMTP", RecipientType::kCc},
                    {"Dmitri Volkov", "/o=Org/cn=dmitri", "EX", RecipientType::kBcc}};
    m.attachments = {{"notes.txt", AttachmentBytes(100, 1), nullptr},
                     {"scan.pdf", AttachmentBytes(3581, 2), nullptr},  // a subnode of the object
                     {"archive.zip", AttachmentBytes(20000, 3), nullptr}};  // a data tree
    return m;
}

MessageSpec ForwardingMessage() {
    auto inner = std::make_shared<MessageSpec>();
    inner->subject = "Original message";
    inner->senderName = "Gunnar Berg";
    inner->body = "The original text.";
    inner->recipients = {{"Hana Sato", "hana@example.org", "SMTP", RecipientType::kTo}};
    inner->attachments = {{"inner.txt", AttachmentBytes(50, 9), nullptr}};
    MessageSpec m;
    m.subject = "Fwd: Original message";
    m.senderName = "Émile Durand";
    m.body = std::string(5000, 'x');  // a body in a subnode
    m.attachments = {{"", {}, inner}, {"after.bin", AttachmentBytes(10, 4), nullptr}};
    return m;
}

MessageSpec PlainMessage(const std::string& subject) {
    MessageSpec m;
    m.subject = subject;
    m.messageClass = "IPM.Note.Custom";
    m.body = "Just text: café, naïve, Ærø.";
    return m;
}

}  // namespace

velmora::test::StoreVariant EngineVariant(Variant variant) {
    switch (variant) {
        case Variant::kAnsi:
            return velmora::test::StoreVariant::kAnsi;
        case Variant::kUnicode4K:
            return velmora::test::StoreVariant::kUnicode4K;
        case Variant::kUnicode:
            break;
    }
    return velmora::test::StoreVariant::kUnicode;
}

std::vector<std::uint8_t> AttachmentBytes(std::size_t size, std::uint32_t salt) {
    return PatternBytes(size, 0xA77AC000 + salt);
}

std::vector<ExpectedFolder> BuildMixedStore(StoreBuilder& builder) {
    std::vector<ExpectedFolder> folders = {
        {"Inbox",
         "IPF.Note",
         {FullMessage(), ForwardingMessage(), PlainMessage("Die Überraschung à la carte")},
         {}},
        {"Inbox/Projects",
         "IPF.Note",
         {PlainMessage("nested one"), PlainMessage("nested two")},
         {}},
        {"Contacts", "IPF.Contact", {}, {}},
        {"Sent Items", "IPF.Note", {PlainMessage("sent")}, {}},
    };
    const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox", "IPF.Note");
    const std::uint32_t nids[] = {inbox, builder.AddFolder(inbox, "Projects", "IPF.Note"),
                                  builder.AddFolder(builder.TopFolder(), "Contacts", "IPF.Contact"),
                                  builder.AddFolder(builder.TopFolder(), "Sent Items", "IPF.Note")};
    for (std::size_t f = 0; f < folders.size(); ++f) {
        for (const MessageSpec& message : folders[f].messages) {
            folders[f].nids.push_back(builder.AddMessage(nids[f], message));
            EXPECT_NE(folders[f].nids.back(), 0u);
        }
    }
    return folders;
}

}  // namespace velmora::storewriter::test
