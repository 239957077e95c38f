// Messages rendered by the real component into MHTML, read back with GMime.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "tests/messaging/mht_page.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "tests/viewer/data/rebuild/corpus_messages.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_access/value_text.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"

namespace velmora::test {
namespace {

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool HasBareLineFeed(const std::string& raw) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) return true;
    }
    return false;
}

// True when `wanted` appear in `words` in this order, others allowed between them.
bool ContainsInOrder(const std::vector<std::string>& words,
                     const std::vector<std::string>& wanted) {
    std::size_t next = 0;
    for (const auto& word : words) {
        if (next < wanted.size() && word == wanted[next]) ++next;
    }
    return next == wanted.size();
}

// The text body without what a text rendering adds of the HTML: link targets
// in angle brackets and bare addresses.
std::string ReadableText(const std::string& body) {
    std::string text;
    bool inTarget = false;
    for (const char c : body) {
        if (c == '<') inTarget = true;
        if (!inTarget) text += c;
        if (c == '>') inTarget = false;
    }
    return text;
}

std::vector<std::string> FirstBodyWords(const MailEntry& mail, std::size_t count) {
    const ExportedProp* body = FindProp(mail.props, 0x1000);
    if (body == nullptr) return {};
    std::vector<std::string> words =
        Words(ReadableText(common::Utf16ToUtf8(ValueToText(*body, MessageCodePage(&mail)))));
    if (words.size() > count) words.resize(count);
    return words;
}

class MhtCorpusTest : public ::testing::TestWithParam<std::string> {};

TEST_P(MhtCorpusTest, EveryMessageGivesAPageWithItsText) {
    VELMORA_REQUIRE_CORPUS();
    const TestWorkFolder work;
    CorpusStore store(GetParam());
    int index = 0;
    for (const MailEntry* mail : store.Messages()) {
        const auto target = work.Path() / ("m" + std::to_string(index++) + ".mht");
        ASSERT_TRUE(RenderSelectedMessage(mail, common::PathToUtf16(target))) << target;
        const std::string raw = ReadAll(target);
        EXPECT_FALSE(HasBareLineFeed(raw)) << target;
        const MhtPage page = ReadMht(target);
        ASSERT_TRUE(page.parsed) << target;
        EXPECT_EQ(page.rootType, "multipart/related");
        const std::vector<std::string> wanted = FirstBodyWords(*mail, 8);
        EXPECT_TRUE(ContainsInOrder(Words(VisibleText(page.html)), wanted))
            << target << "\nbody starts: " << testing::PrintToString(wanted)
            << "\npage: " << page.html.substr(0, 2000);
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, MhtCorpusTest, ::testing::ValuesIn(kMessageStores),
                         [](const auto& info) { return TestNameOf(info.param); });

Bytes Ascii(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A compressed-RTF value holding `rtf` uncompressed ("MELA"), with a valid header.
Bytes StoredRtf(const std::string& rtf) {
    Bytes bytes = LongBytes(static_cast<std::int32_t>(rtf.size() + 12));
    for (const auto b : LongBytes(static_cast<std::int32_t>(rtf.size()))) bytes.push_back(b);
    for (const char c : std::string("MELA")) bytes.push_back(static_cast<std::uint8_t>(c));
    for (int i = 0; i < 4; ++i) bytes.push_back(0);
    for (const char c : rtf) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

class MhtBodyTest : public ::testing::Test {
  protected:
    MhtPage Render(const MailEntry* mail) {
        const auto target = work_.Path() / "page.mht";
        EXPECT_TRUE(RenderSelectedMessage(mail, common::PathToUtf16(target)));
        raw_ = ReadAll(target);
        return ReadMht(target);
    }
    TestWorkFolder work_;
    RecordBuilder records_;
    std::string raw_;
};

TEST_F(MhtBodyTest, TheBestBodyMakesThePage) {
    const Bytes text = Utf16BytesTerminated(u"plain words & <more>");
    const struct {
        const char* name;
        std::initializer_list<PropInput> props;
        const char* visible;
    } cases[] = {
        {"text only", {{0x1000, 0x1F, text}}, "plain words & <more>"},
        {"RTF over text",
         {{0x1000, 0x1F, text}, {0x1009, 0x102, StoredRtf(R"({\rtf1 {\b rich} text})")}},
         "rich text"},
        {"HTML in RTF",
         {{0x1009, 0x102, StoredRtf(R"({\rtf1\fromhtml1{\*\htmltag <p>}inner{\*\htmltag </p>}})")}},
         "inner"},
        {"HTML over RTF",
         {{0x1009, 0x102, StoredRtf(R"({\rtf1 rtf})")}, {0x1013, 0x102, Ascii("<p>html</p>")}},
         "html"},
        {"broken RTF groups", {{0x1009, 0x102, StoredRtf(R"({\rtf1 {{{\b still )")}}, "still"},
        {"RTF failing its checks",
         {{0x1000, 0x1F, text}, {0x1009, 0x102, Ascii("garbage, not a stream at all")}},
         "plain words & <more>"},
        {"unterminated HTML",
         {{0x1013, 0x102, Ascii("<html><body><p>open <b>bold <i")}},
         "open bold"},
        {"no body at all", {}, ""},
    };
    for (const auto& c : cases) {
        const MhtPage page = Render(records_.Mail(records_.Map(c.props)));
        ASSERT_TRUE(page.parsed) << c.name;
        EXPECT_EQ(Words(VisibleText(page.html)), Words(c.visible)) << c.name << ": " << page.html;
        EXPECT_FALSE(HasBareLineFeed(raw_)) << c.name;
    }
}

TEST_F(MhtBodyTest, PageRefersToItsOwnPartsOnly) {
    const MailEntry* mail = records_.Mail(
        records_.Map(
            {{0x1013, 0x102,
              Ascii("<p onclick=\"x()\">hi<img src=\"cid:logo@v\"><img src=\"http://t/p.gif\">"
                    "<script>alert(1)</script></p>")}}),
        {},
        {records_.Attachment({{0x3701, 0x102, {0x89, 'P', 'N', 'G'}},
                              {0x3707, 0x1F, Utf16BytesTerminated(u"logo.png")},
                              {0x370E, 0x1F, Utf16BytesTerminated(u"image/png")},
                              {0x3712, 0x1F, Utf16BytesTerminated(u"logo@v")}}),
         records_.Attachment(
             {{0x3701, 0x102, {'d'}}, {0x3707, 0x1F, Utf16BytesTerminated(u"doc.txt")}}),
         records_.Attachment({{0x3701, 0x102,
                               Ascii("<p onclick=\"x()\">inner<script>alert(1)</script>"
                                     "<img src=\"http://t/q.gif\"></p>")},
                              {0x370E, 0x1F, Utf16BytesTerminated(u"Text/HTML")},
                              {0x3712, 0x1F, Utf16BytesTerminated(u"page@v")}})});
    const MhtPage page = Render(mail);
    ASSERT_EQ(page.resources.size(), 2u) << "only parts the page can refer to";
    EXPECT_EQ(page.resources[0].contentId, "logo@v");
    EXPECT_EQ(page.resources[0].contentType, "image/png");
    EXPECT_EQ(page.resources[0].body, std::string("\x89PNG"));
    EXPECT_EQ(page.resources[1].contentId, "page@v");
    // A page among the parts is cleaned as the message's own page is.
    for (const std::string& html : {page.html, page.resources[1].body}) {
        EXPECT_EQ(html.find("script"), std::string::npos) << html;
        EXPECT_EQ(html.find("onclick"), std::string::npos) << html;
        EXPECT_EQ(html.find(" src=\"http"), std::string::npos) << html;
    }
    EXPECT_NE(page.html.find("src=\"cid:logo@v\""), std::string::npos);
    EXPECT_NE(page.resources[1].body.find("inner"), std::string::npos);
}

TEST_F(MhtBodyTest, HeadersAreEncodedForMime) {
    const MailEntry* mail = records_.Mail(
        records_.Map({{0x0037, 0x1F, Utf16BytesTerminated(u"Gr\u00fc\u00dfe \u65e5\u672c")},
                      {0x0C1A, 0x1F, Utf16BytesTerminated(u"J\u00f6rg")},
                      {0x0C1F, 0x1F, Utf16BytesTerminated(u"jorg@example.org")}}),
        {records_.Recipient({{0x3001, 0x1F, Utf16BytesTerminated(u"Zo\u00eb")},
                             {0x39FE, 0x1F, Utf16BytesTerminated(u"zoe@example.org")},
                             {0x0C15, 0x03, LongBytes(1)}})});
    const MhtPage page = Render(mail);
    ASSERT_TRUE(page.parsed);
    for (const unsigned char c : page.headers) ASSERT_LT(c, 0x80) << page.headers;
    EXPECT_NE(page.headers.find("Subject: =?"), std::string::npos) << page.headers;
    EXPECT_NE(page.headers.find("<jorg@example.org>"), std::string::npos) << page.headers;
    EXPECT_NE(page.headers.find("<zoe@example.org>"), std::string::npos) << page.headers;
}

// The value of the first header `name` in the raw header block, unfolded; "" when absent.
std::string HeaderValue(const std::string& headers, const std::string& name) {
    const std::string start = name + ": ";
    std::size_t pos = headers.starts_with(start) ? 0 : headers.find("\n" + start);
    if (pos == std::string::npos) return "";
    pos += headers[pos] == '\n' ? start.size() + 1 : start.size();
    std::string value;
    for (; pos < headers.size(); ++pos) {
        if (headers[pos] == '\r') continue;
        if (headers[pos] == '\n') {
            if (pos + 1 >= headers.size() || (headers[pos + 1] != ' ' && headers[pos + 1] != '\t'))
                break;
            continue;
        }
        value += headers[pos];
    }
    return value;
}

TEST_F(MhtBodyTest, AddressesWithoutAnSmtpAddressAreNamesAlone) {
    const Bytes text = Utf16BytesTerminated(u"x");
    constexpr char16_t kExchange[] = u"/O=ORG/OU=SITE/CN=RECIPIENTS/CN=BOB";
    const struct {
        const char* name;
        std::initializer_list<PropInput> recipient;
        std::initializer_list<PropInput> sender;
        const char* to;
        const char* from;
    } cases[] = {
        {"name only",
         {{0x3001, 0x1F, Utf16BytesTerminated(u"nobody@example.com")}},
         {{0x0C1A, 0x1F, Utf16BytesTerminated(u"Ann Lee")}},
         "\"nobody@example.com\"",
         "Ann Lee"},
        {"address only",
         {{0x39FE, 0x1F, Utf16BytesTerminated(u"zoe@example.org")}},
         {{0x0C1F, 0x1F, Utf16BytesTerminated(u"ann@example.org")}},
         "zoe@example.org",
         "ann@example.org"},
        {"both",
         {{0x3001, 0x1F, Utf16BytesTerminated(u"Lee, Zoe")},
          {0x39FE, 0x1F, Utf16BytesTerminated(u"zoe@example.org")}},
         {{0x0C1A, 0x1F, Utf16BytesTerminated(u"Ann")},
          {0x0C1F, 0x1F, Utf16BytesTerminated(u"ann@example.org")}},
         "\"Lee, Zoe\" <zoe@example.org>",
         "Ann <ann@example.org>"},
        {"Exchange-style address",
         {{0x3001, 0x1F, Utf16BytesTerminated(u"Bob")},
          {0x3002, 0x1F, Utf16BytesTerminated(u"EX")},
          {0x3003, 0x1F, Utf16BytesTerminated(kExchange)}},
         {{0x0C1A, 0x1F, Utf16BytesTerminated(u"Bob")},
          {0x0C1F, 0x1F, Utf16BytesTerminated(kExchange)}},
         "Bob",
         "Bob"},
        {"Exchange-style address, no name",
         {{0x3002, 0x1F, Utf16BytesTerminated(u"EX")},
          {0x3003, 0x1F, Utf16BytesTerminated(kExchange)}},
         {{0x0C1F, 0x1F, Utf16BytesTerminated(kExchange)}},
         "",
         "/O=ORG/OU=SITE/CN=RECIPIENTS/CN=BOB"},
    };
    for (const auto& c : cases) {
        std::vector<PropInput> recipient(c.recipient);
        recipient.push_back({0x0C15, 0x03, LongBytes(1)});
        std::vector<PropInput> message(c.sender);
        message.push_back({0x1000, 0x1F, text});
        const MailEntry* mail =
            records_.Mail(records_.Map(message), {records_.Recipient(recipient)});
        const MhtPage page = Render(mail);
        ASSERT_TRUE(page.parsed) << c.name;
        EXPECT_EQ(HeaderValue(page.headers, "To"), c.to) << c.name << "\n" << page.headers;
        EXPECT_EQ(HeaderValue(page.headers, "From"), c.from) << c.name << "\n" << page.headers;
        EXPECT_EQ(page.headers.find("<>"), std::string::npos) << c.name;
    }
}

// Images named by file name resolve to the one attachment of that name; a
// name two attachments share, a full URL and an unreferenced attachment do not.
TEST_F(MhtBodyTest, ImagesNamedByFileNameUseTheAttachmentsPart) {
    const auto attachment = [&](std::u16string longName, std::initializer_list<PropInput> more) {
        std::vector<PropInput> props{{0x3701, 0x102, Ascii(common::Utf16ToUtf8(longName) + "!")},
                                     {0x3707, 0x1F, Utf16BytesTerminated(longName)},
                                     {0x370E, 0x1F, Utf16BytesTerminated(u"image/gif")}};
        props.insert(props.end(), more);
        return records_.Attachment(props);
    };
    const MailEntry* mail = records_.Mail(
        records_.Map({{0x1013, 0x102,
                       Ascii("<img src=\"icons.gif\"><img src=' ICONS.GIF '><img src=dup.png>"
                             "<table><tr><td background=\"header.jpg\">x</td></tr></table>"
                             "<img src=\"http://x/icons.gif\">"
                             "<img src=\"logo.png\"><a href=\"icons.gif\">link</a>")}}),
        {},
        {attachment(u"icons.gif", {}), attachment(u"dup.png", {}), attachment(u"dup.png", {}),
         attachment(u"image001.jpg", {{0x3713, 0x1F, Utf16BytesTerminated(u"header.jpg")}}),
         attachment(u"logo.png", {{0x3712, 0x1F, Utf16BytesTerminated(u"logo@v")}}),
         attachment(u"unused.gif", {})});
    const MhtPage page = Render(mail);
    ASSERT_TRUE(page.parsed);
    std::map<std::string, std::string> bodyByContentId;
    for (const MhtPart& part : page.resources) bodyByContentId[part.contentId] = part.body;
    ASSERT_EQ(bodyByContentId.size(), 3u) << page.html;
    std::map<std::string, std::string> idByBody;
    for (const auto& [id, body] : bodyByContentId) idByBody[body] = id;
    ASSERT_TRUE(idByBody.contains("icons.gif!") && idByBody.contains("image001.jpg!") &&
                idByBody.contains("logo.png!"))
        << page.html;
    const std::string icons = "\"cid:" + idByBody["icons.gif!"] + "\"";
    const std::size_t first = page.html.find("src=" + icons);
    ASSERT_NE(first, std::string::npos) << page.html;
    EXPECT_NE(page.html.find("src=" + icons, first + 1), std::string::npos) << page.html;
    EXPECT_NE(page.html.find("background=\"cid:" + idByBody["image001.jpg!"] + "\""),
              std::string::npos)
        << page.html;
    EXPECT_EQ(idByBody["logo.png!"], "logo@v") << "an attachment's own content id is kept";
    EXPECT_NE(page.html.find("src=\"cid:logo@v\""), std::string::npos) << page.html;
    EXPECT_NE(page.html.find("src=\"dup.png\""), std::string::npos) << page.html;
    EXPECT_NE(page.html.find("src=\"http://x/icons.gif\""), std::string::npos) << page.html;
    EXPECT_NE(page.html.find("href=\"icons.gif\""), std::string::npos) << page.html;
}

// An embedded message's data property is a reference to the subnode that
// holds it: eight bytes that are no message, so they never become a part.
// The message the engine read from that subnode travels as a message/rfc822
// part of its own, never as a resource of the page, whatever content id it has.
TEST_F(MhtBodyTest, AnEmbeddedMessageTravelsAsAMessageNeverAsReferenceBytes) {
    for (const bool read : {false, true}) {
        SCOPED_TRACE(read ? "message read by the engine" : "message not read");
        AttachmentRow* embedded =
            records_.Attachment({{0x3701, 0x0D, {1, 0, 0, 0, 0, 0, 0, 0}},
                                 {0x3705, 0x03, LongBytes(5)},
                                 {0x3001, 0x1F, Utf16BytesTerminated(u"Inner message")},
                                 {0x370E, 0x1F, Utf16BytesTerminated(u"message/rfc822")},
                                 {0x3712, 0x1F, Utf16BytesTerminated(u"inner@v")}});
        if (read) {
            embedded->embedded = records_.Mail(
                records_.Map({{0x0037, 0x1F, Utf16BytesTerminated(u"Inner subject")},
                              {0x1000, 0x1F, Utf16BytesTerminated(u"inner words here")}}));
        }
        const MailEntry* mail = records_.Mail(
            records_.Map({{0x1013, 0x102, Ascii("<p>see <img src=\"cid:inner@v\"></p>")}}), {},
            {embedded, records_.Attachment({{0x3701, 0x102, Ascii("GIF89a")},
                                            {0x3707, 0x1F, Utf16BytesTerminated(u"a.gif")},
                                            {0x3712, 0x1F, Utf16BytesTerminated(u"a@v")}})});
        const MhtPage page = Render(mail);
        ASSERT_TRUE(page.parsed);
        ASSERT_EQ(page.resources.size(), 1u);
        EXPECT_EQ(page.resources[0].contentId, "a@v");
        const std::size_t part = raw_.find("Content-Type: message/rfc822");
        EXPECT_EQ(part != std::string::npos, read) << raw_;
        if (!read || part == std::string::npos) continue;
        EXPECT_NE(raw_.find("filename=\"Inner message.eml\"", part), std::string::npos);
        EXPECT_NE(raw_.find("Subject: Inner subject", part), std::string::npos);
        EXPECT_NE(raw_.find("inner words here", part), std::string::npos);
    }
}

}  // namespace
}  // namespace velmora::test
