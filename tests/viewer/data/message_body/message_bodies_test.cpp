// Which of a message's bodies the export writes and the index reads, on
// records built by hand: every form a body is stored in, alone and together.
#include <gtest/gtest.h>

#include "common/property_ids.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/message_body/message_bodies.h"

namespace velmora::test {
namespace {

namespace prop = common::prop;
namespace ptype = common::ptype;

PropInput Text(std::uint16_t id, const std::u16string& text) {
    return {id, ptype::kUnicode, Utf16BytesTerminated(text)};
}
PropInput Binary(std::uint16_t id, const std::string& bytes) {
    return {id, ptype::kBinary, Bytes(bytes.begin(), bytes.end())};
}
PropInput Rtf(const std::string& rtf) {
    return {prop::kRtfCompressed, ptype::kBinary, UncompressedRtf(rtf)};
}
PropInput CodePage(std::int32_t codePage) {
    return {prop::kInternetCodePage, ptype::kLong, LongBytes(codePage)};
}

constexpr char kSimpleRtf[] = "{\\rtf1\\ansi Quarry\\par}";
constexpr char kRtfFromHtml[] =
    "{\\rtf1\\ansi\\fromhtml1 {\\*\\htmltag <p>}Harbour{\\*\\htmltag </p>}}";

struct BodyCase {
    const char* name;
    std::vector<PropInput> props;
    std::optional<std::string> plain;
    std::string html;  // a piece of the HTML; none expected when empty
    std::string htmlCharset;
    bool rtf;
    std::string text;  // a piece of the words' body; none expected when empty
    bool textIsHtml;
};

TEST(MessageBodiesTest, EachStoredFormIsReadAndThePlainTextComesFirstWhenItHoldsAny) {
    const std::vector<BodyCase> cases = {
        {"plain text and HTML: both written, the words from the plain text",
         {Text(prop::kBody, u"Hello"), Binary(prop::kBodyHtml, "<p>Hi there</p>")},
         "Hello",
         "<p>Hi there</p>",
         "utf-8",
         false,
         "Hello",
         false},
        {"an empty plain text is written as it is; the words come from the HTML",
         {Text(prop::kBody, u""), Binary(prop::kBodyHtml, "<p>Hi there</p>")},
         "",
         "<p>Hi there</p>",
         "utf-8",
         false,
         "Hi there",
         true},
        {"8-bit plain text in the message's code page",
         {{prop::kBody, ptype::kString8, {'c', 'a', 'f', 0xE9, 0}}, CodePage(1252)},
         "caf\xc3\xa9",
         "",
         "",
         false,
         "caf\xc3\xa9",
         false},
        {"8-bit HTML labelled by its own meta element, its words in the message's code page",
         {Binary(prop::kBodyHtml, "<meta charset=\"windows-1251\"><p>\xcc\xe8\xf0</p>"),
          CodePage(1251)},
         std::nullopt,
         "<p>\xcc\xe8\xf0</p>",
         "windows-1251",
         false,
         "\xd0\x9c\xd0\xb8\xd1\x80",
         true},
        {"HTML kept as a UTF-16 string becomes UTF-8, not bytes with zeros between",
         {Text(prop::kBodyHtml, u"<p>Gr\u00fc\u00dfe</p>")},
         std::nullopt,
         "<p>Gr\xc3\xbc\xc3\x9f"
         "e</p>",
         "utf-8",
         false,
         "<p>Gr\xc3\xbc\xc3\x9f"
         "e</p>",
         true},
        {"an RTF body alone: the page the view shows for it",
         {Rtf(kSimpleRtf)},
         std::nullopt,
         "Quarry",
         "utf-8",
         true,
         "Quarry",
         true},
        {"an RTF body made from HTML gives back that HTML",
         {Rtf(kRtfFromHtml)},
         std::nullopt,
         "<p>Harbour</p>",
         "utf-8",
         true,
         "<p>Harbour</p>",
         true},
        {"stored HTML goes before the RTF body's page; the RTF is still kept",
         {Binary(prop::kBodyHtml, "<p>Stored</p>"), Rtf(kSimpleRtf)},
         std::nullopt,
         "<p>Stored</p>",
         "utf-8",
         true,
         "<p>Stored</p>",
         true},
        {"a body that is not a string is no text",
         {Binary(prop::kBody, "bytes")},
         std::nullopt,
         "",
         "",
         false,
         "",
         false},
        {"no body at all", {}, std::nullopt, "", "", false, "", false},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordBuilder records;
        const MailEntry& mail = *records.Mail(records.Map(c.props));

        const MessageBodies bodies = ReadBodies(mail);
        EXPECT_EQ(bodies.plain, c.plain);
        EXPECT_EQ(bodies.html.has_value(), !c.html.empty());
        if (bodies.html) {
            EXPECT_NE(bodies.html->find(c.html), std::string::npos) << *bodies.html;
            EXPECT_EQ(bodies.htmlCharset, c.htmlCharset);
        }
        EXPECT_EQ(bodies.rtf.has_value(), c.rtf);

        const std::optional<TextBody> text = ReadTextBody(mail);
        ASSERT_EQ(text.has_value(), !c.text.empty());
        if (!text) continue;
        EXPECT_NE(text->text.find(c.text), std::string::npos) << text->text;
        EXPECT_EQ(text->isHtml, c.textIsHtml);
    }
}

}  // namespace
}  // namespace velmora::test
