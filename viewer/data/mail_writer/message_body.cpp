#include "viewer/data/mail_writer/message_body.h"

#include "messaging/mime/mime_pieces.h"
#include "viewer/data/mail_writer/item_text.h"

namespace velmora {

MessageBodies BodiesToWrite(const MailEntry& mail) {
    MessageBodies bodies = ReadBodies(mail);
    if (const auto fields = ItemFieldsText(mail))
        bodies.plain = bodies.plain ? *fields + "\n" + *bodies.plain : *fields;
    return bodies;
}

GMimePart* NewTextPart(const char* subtype, const std::string& text, const std::string& charset) {
    GMimePart* part = g_mime_part_new_with_type("text", subtype);
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", charset.c_str());
    messaging::SetPartContent(part, text);
    g_mime_part_set_content_encoding(
        part, g_mime_part_get_best_content_encoding(part, GMIME_ENCODING_CONSTRAINT_7BIT));
    return part;
}

}  // namespace velmora
