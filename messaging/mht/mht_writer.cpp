#include "messaging/mht/mht_writer.h"

#include <fcntl.h>

#include <mutex>
#include <set>

#include "messaging/mht/body_page.h"
#include "messaging/mht/gmime_ref.h"
#include "messaging/mht/mime_parts.h"

namespace velmora::messaging {
namespace {

// The page's part, then one part per attachment with a content id the page can refer to.
GMimeMultipart* NewRelatedBody(const MessageContent& content) {
    GMimeMultipart* related = g_mime_multipart_new_with_subtype("related");
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(related), "type", "text/html");
    const BodyPage page = BuildBodyPage(content);
    const GRef<GMimePart> pagePart(NewPagePart(page.html, page.charset));
    g_mime_multipart_add(related, GMIME_OBJECT(pagePart.get()));
    std::set<std::string> contentIds;
    for (const auto& attachment : content.attachments) {
        const std::string contentId = CleanContentId(attachment->contentId);
        if (contentId.empty() || !contentIds.insert(contentId).second) continue;
        const GRef<GMimePart> part(NewResourcePart(*attachment, contentId));
        g_mime_multipart_add(related, GMIME_OBJECT(part.get()));
    }
    return related;
}

}  // namespace

bool InitMimeLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
    return true;
}

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
