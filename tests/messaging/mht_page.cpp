#include "tests/messaging/mht_page.h"

#include <gmime/gmime.h>

#include <cctype>
#include <fstream>
#include <iterator>

namespace velmora::test {
namespace {

std::string DecodedContent(GMimePart* part) {
    GMimeDataWrapper* wrapper = g_mime_part_get_content(part);
    if (wrapper == nullptr) return {};
    GMimeStream* memory = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(wrapper, memory);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory));
    std::string content(reinterpret_cast<const char*>(bytes->data), bytes->len);
    g_object_unref(memory);
    return content;
}

std::string ToUtf8(const std::string& text, const char* charset) {
    if (charset == nullptr || g_ascii_strcasecmp(charset, "utf-8") == 0) return text;
    gsize written = 0;
    gchar* converted = g_convert_with_fallback(text.data(), static_cast<gssize>(text.size()),
                                               "UTF-8", charset, "?", nullptr, &written, nullptr);
    if (converted == nullptr) return text;
    std::string result(converted, written);
    g_free(converted);
    return result;
}

std::string TypeOf(GMimeObject* object) {
    gchar* type = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(object));
    std::string text = type;
    g_free(type);
    return text;
}

}  // namespace

MhtPage ReadMht(const std::filesystem::path& file) {
    g_mime_init();
    MhtPage page;
    std::ifstream in(file, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    page.headers = raw.substr(0, raw.find("\r\n\r\n"));
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(raw.data(), raw.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(stream);
    if (message == nullptr) return page;
    GMimeObject* root = g_mime_message_get_mime_part(message);
    page.rootType = root ? TypeOf(root) : "";
    if (root != nullptr && GMIME_IS_MULTIPART(root) &&
        g_mime_multipart_get_count(GMIME_MULTIPART(root)) > 0) {
        auto* related = GMIME_MULTIPART(root);
        for (int i = 0; i < g_mime_multipart_get_count(related); ++i) {
            GMimeObject* part = g_mime_multipart_get_part(related, i);
            if (!GMIME_IS_PART(part)) continue;
            const std::string content = DecodedContent(GMIME_PART(part));
            if (i == 0) {
                page.html =
                    ToUtf8(content, g_mime_object_get_content_type_parameter(part, "charset"));
                page.parsed = TypeOf(part) == "text/html";
            } else {
                const char* id = g_mime_part_get_content_id(GMIME_PART(part));
                page.resources.push_back({TypeOf(part), id ? id : "", content});
            }
        }
    }
    g_object_unref(message);
    return page;
}

std::string VisibleText(const std::string& html) {
    std::string text;
    std::size_t pos = 0;
    while (pos < html.size()) {
        if (html[pos] != '<') {
            text += html[pos++];
            continue;
        }
        const std::size_t end = html.find('>', pos);
        const std::string tag = html.substr(
            pos + 1, end == std::string::npos ? 0 : std::min<std::size_t>(6, end - pos - 1));
        std::string lower = tag;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        pos = end == std::string::npos ? html.size() : end + 1;
        for (const char* raw : {"style", "script", "title", "head"}) {
            if (lower.starts_with(raw)) {
                const std::size_t close = html.find(std::string("</") + raw, pos);
                pos = close == std::string::npos ? html.size() : close;
            }
        }
        text += ' ';
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 5, "&amp;") == 0) {
            out += '&';
            i += 4;
        } else if (text.compare(i, 4, "&lt;") == 0) {
            out += '<';
            i += 3;
        } else if (text.compare(i, 4, "&gt;") == 0) {
            out += '>';
            i += 3;
        } else if (text.compare(i, 6, "&nbsp;") == 0) {
            out += ' ';
            i += 5;
        } else
            out += text[i];
    }
    return out;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || byte >= 0x80) {
            word += static_cast<char>(std::tolower(byte));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

}  // namespace velmora::test
