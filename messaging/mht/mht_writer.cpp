#include "messaging/mht/mht_writer.h"

#include <fcntl.h>

#include <map>
#include <set>
#include <vector>

#include "messaging/html/html_names.h"
#include "messaging/mht/body_page.h"
#include "messaging/mht/mime_parts.h"
#include "messaging/mime/gmime_ref.h"
#include "messaging/rtf/rtf_character_buffer.h"

namespace velmora::messaging {
namespace {

// The names a page may use for an attachment: its file names and content
// location, in lower case.
std::set<std::string> NamesOf(const MessageAttachment& attachment) {
    std::set<std::string> names;
    for (const std::u16string* name :
         {&attachment.longName, &attachment.fileName, &attachment.contentLocation}) {
        if (!name->empty()) names.insert(AsciiLower(Utf8Of(*name)));
    }
    return names;
}

// The part each attachment may have, and the names that lead to it.
struct PagePart {
    std::string contentId;  // empty when the page cannot refer to it
    bool ownId = false;     // the attachment's content id, not one made here
};

// Every attachment with a content id of its own may be referred to by it. A
// name that only one attachment has leads to that attachment too; one
// without a content id is given one here, unused by any other attachment.
std::vector<PagePart> PageParts(const MessageContent& content, PartsByName& partsByName) {
    std::vector<PagePart> parts;
    std::set<std::string> taken;
    std::map<std::string, int> nameCounts;
    for (const auto& attachment : content.attachments) {
        PagePart& part = parts.emplace_back();
        // An attached message travels as a message of its own, never as a page resource.
        if (attachment->message) continue;
        part.contentId = CleanContentId(Utf8Of(attachment->contentId));
        part.ownId = !part.contentId.empty();
        taken.insert(part.contentId);
        for (const std::string& name : NamesOf(*attachment)) ++nameCounts[name];
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (content.attachments[i]->message) continue;
        for (const std::string& name : NamesOf(*content.attachments[i])) {
            if (nameCounts[name] != 1) continue;
            std::string& contentId = parts[i].contentId;
            for (int n = 0; contentId.empty(); ++n) {
                std::string made =
                    "part" + std::to_string(i + 1) + "." + std::to_string(n) + "@velmora";
                if (taken.insert(made).second) contentId = std::move(made);
            }
            partsByName[name] = contentId;
        }
    }
    return parts;
}

// The page's part, then one part per attachment the page can refer to: each
// with a content id of its own, and those the page names by file name.
GMimeMultipart* NewRelatedBody(const MessageContent& content) {
    GMimeMultipart* related = g_mime_multipart_new_with_subtype("related");
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(related), "type", "text/html");
    PartsByName partsByName;
    const std::vector<PagePart> parts = PageParts(content, partsByName);
    const BodyPage page = BuildBodyPage(content, partsByName);
    std::set<std::string> referenced;
    for (const std::string& name : page.namesUsed) referenced.insert(partsByName.at(name));
    const GRef<GMimePart> pagePart(NewPagePart(page.html, page.charset));
    g_mime_multipart_add(related, GMIME_OBJECT(pagePart.get()));
    std::set<std::string> written;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& contentId = parts[i].contentId;
        if (contentId.empty() || (!parts[i].ownId && !referenced.contains(contentId))) continue;
        if (!written.insert(contentId).second) continue;
        const GRef<GMimePart> part(NewResourcePart(*content.attachments[i], contentId));
        g_mime_multipart_add(related, GMIME_OBJECT(part.get()));
    }
    for (const auto& attachment : content.attachments) {
        if (!attachment->message) continue;
        const GRef<GMimeMessagePart> part(NewAttachedMessagePart(*attachment));
        if (part) g_mime_multipart_add(related, GMIME_OBJECT(part.get()));
    }
    return related;
}

}  // namespace

bool WriteMht(const MessageContent& content, const std::filesystem::path& target,
              std::string& error) {
    InitMimeLibrary();
    const GRef<GMimeMessage> message(g_mime_message_new(TRUE));
    SetMessageHeaders(message.get(), content);
    const GRef<GMimeMultipart> related(NewRelatedBody(content));
    g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(related.get()));

    GError* openError = nullptr;
    const GRef<GMimeStream> file(g_mime_stream_fs_open(
        target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644, &openError));
    if (!file) {
        error = openError != nullptr ? openError->message : "cannot create the file";
        if (openError != nullptr) g_error_free(openError);
        return false;
    }
    GMimeFormatOptions* options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    const ssize_t written =
        g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), options, file.get());
    g_mime_format_options_free(options);
    const bool flushed = g_mime_stream_flush(file.get()) == 0;
    if (written < 0 || !flushed) error = "cannot write the file";
    return written >= 0 && flushed;
}

}  // namespace velmora::messaging
