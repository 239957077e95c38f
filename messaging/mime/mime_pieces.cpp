#include "messaging/mime/mime_pieces.h"

#include <cctype>
#include <mutex>

#include "messaging/mime/gmime_ref.h"

namespace velmora::messaging {
namespace {

bool IsTokenCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("!#$&^_.+-").find(c) != std::string_view::npos;
}

// A display name encoded as a phrase: it then stands where GMime writes an
// address as it is.
std::string EncodedPhrase(const std::string& text) {
    GMimeFormatOptions* options = g_mime_format_options_new();
    char* encoded = g_mime_utils_header_encode_phrase(options, text.c_str(), nullptr);
    g_mime_format_options_free(options);
    std::string phrase = encoded != nullptr ? encoded : "";
    g_free(encoded);
    return phrase;
}

}  // namespace

bool InitMimeLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
    return true;
}

void SetPartContent(GMimePart* part, std::string_view bytes) {
    const GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    const GRef<GMimeDataWrapper> wrapper(
        g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, wrapper.get());
}

void AddMailbox(InternetAddressList* list, const std::string& name, const std::string& address) {
    const bool smtp = address.find('@') != std::string::npos;
    std::string phrase;
    if (!smtp) {
        const std::string& shown = name.empty() ? address : name;
        if (shown.empty()) return;
        phrase = EncodedPhrase(shown);
        if (phrase.empty()) return;
    }
    const GRef<InternetAddress> mailbox(
        smtp ? internet_address_mailbox_new(name.c_str(), address.c_str())
             : internet_address_mailbox_new("", phrase.c_str()));
    internet_address_list_add(list, mailbox.get());
}

GMimeMessagePart* NewAttachedMessagePart(GMimeMessage* message, const std::string& fileName) {
    GMimeMessagePart* part = g_mime_message_part_new_with_message("rfc822", message);
    g_mime_object_set_disposition(GMIME_OBJECT(part), GMIME_DISPOSITION_ATTACHMENT);
    if (!fileName.empty()) {
        g_mime_object_set_content_disposition_parameter(GMIME_OBJECT(part), "filename",
                                                        fileName.c_str());
    }
    return part;
}

std::string CleanContentId(std::string_view contentId) {
    std::string clean;
    for (const char c : contentId) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && c != '<' && c != '>' && c != '"' && c != '\\') clean += c;
    }
    return clean;
}

std::string CleanMimeType(std::string_view tag) {
    const std::size_t slash = tag.find('/');
    bool clean = slash != std::string_view::npos && slash > 0 && slash + 1 < tag.size();
    for (std::size_t i = 0; clean && i < tag.size(); ++i)
        clean = i == slash || IsTokenCharacter(tag[i]);
    return clean ? std::string(tag) : "application/octet-stream";
}

GMimePart* NewPartOfType(std::string_view mimeTag) {
    const std::string type = CleanMimeType(mimeTag);
    const std::size_t slash = type.find('/');
    return g_mime_part_new_with_type(type.substr(0, slash).c_str(), type.substr(slash + 1).c_str());
}

}  // namespace velmora::messaging
