#include "tools/velmora-cli/props_command.h"

#include <algorithm>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "common/utf16_text.h"
#include "tools/velmora-cli/command_support.h"
#include "viewer/data/message_properties/message_properties.h"

namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;

struct TextLine {
    std::string tag, name, type, value;
};

// With `oneLine`, the value's control characters become spaces (for the table).
TextLine Texts(const PropertyLine& line, const MessageProperties& listed,
               const PropsOptions& options, bool oneLine) {
    std::u16string value = options.full ? FullValueText(line, listed.codePage) : line.value;
    if (oneLine) value = OneLine(std::move(value));
    return {common::Utf16ToUtf8(line.tag), common::Utf16ToUtf8(line.name),
            common::Utf16ToUtf8(line.typeName), common::Utf16ToUtf8(value)};
}

Json LinesJson(const PropertyLines& lines, const MessageProperties& listed,
               const PropsOptions& options) {
    Json array = Json::array();
    for (const PropertyLine& line : lines) {
        const TextLine text = Texts(line, listed, options, false);
        array.push_back(Json{
            {"tag", text.tag}, {"name", text.name}, {"type", text.type}, {"value", text.value}});
    }
    return array;
}

Json ListsJson(const std::vector<PropertyLines>& lists, const MessageProperties& listed,
               const PropsOptions& options) {
    Json array = Json::array();
    for (const PropertyLines& lines : lists) array.push_back(LinesJson(lines, listed, options));
    return array;
}

void WriteJson(const MessageProperties& listed, const PropsOptions& options, std::ostream& out) {
    const Json all{{"message", LinesJson(listed.message, listed, options)},
                   {"recipients", ListsJson(listed.recipients, listed, options)},
                   {"attachments", ListsJson(listed.attachments, listed, options)}};
    out << all.dump(1, ' ', false, Json::error_handler_t::replace) << "\n";
}

std::string Padded(const std::string& text, std::size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

// One section of the table: a title, a heading and a line per property with
// the columns lined up; values are kept to one line.
void WriteSection(const std::string& title, const PropertyLines& lines,
                  const MessageProperties& listed, const PropsOptions& options, std::ostream& out) {
    out << title << " (" << lines.size() << " properties)\n";
    std::vector<TextLine> texts;
    std::size_t nameWidth = 4, typeWidth = 4;
    for (const PropertyLine& line : lines) {
        TextLine text = Texts(line, listed, options, true);
        nameWidth = std::max(nameWidth, text.name.size());
        typeWidth = std::max(typeWidth, text.type.size());
        texts.push_back(std::move(text));
    }
    constexpr std::size_t kTagWidth = 10;
    out << "  " << Padded("TAG", kTagWidth) << "  " << Padded("NAME", nameWidth) << "  "
        << Padded("TYPE", typeWidth) << "  VALUE\n";
    for (const TextLine& text : texts) {
        out << "  " << Padded(text.tag, kTagWidth) << "  " << Padded(text.name, nameWidth) << "  "
            << Padded(text.type, typeWidth) << "  " << text.value << "\n";
    }
}

void WriteTable(const MessageProperties& listed, const PropsOptions& options, std::ostream& out) {
    WriteSection("Message", listed.message, listed, options, out);
    for (std::size_t i = 0; i < listed.recipients.size(); ++i) {
        out << "\n";
        WriteSection("Recipient " + std::to_string(i + 1), listed.recipients[i], listed, options,
                     out);
    }
    for (std::size_t i = 0; i < listed.attachments.size(); ++i) {
        out << "\n";
        WriteSection("Attachment " + std::to_string(i + 1), listed.attachments[i], listed, options,
                     out);
    }
}

}  // namespace

int RunProps(const std::filesystem::path& store, std::uint32_t messageNid,
             const PropsOptions& options, std::ostream& out) {
    StoreSession session;
    const MailEntry* mail = OpenMessageOrReport(session, store, messageNid);
    if (mail == nullptr) return 1;
    const MessageProperties listed = ListMessageProperties(mail);
    if (options.json)
        WriteJson(listed, options, out);
    else
        WriteTable(listed, options, out);
    return 0;
}

}  // namespace velmora::cli
