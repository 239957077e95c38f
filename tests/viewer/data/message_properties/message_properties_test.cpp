// A message's properties as the properties view and `props` list them, on
// built records: tags, names, types and value texts, where long values are
// cut, and which rows a message's recipients and attachments give.
#include <gtest/gtest.h>

#include <fstream>

#include "common/path_text.h"
#include "common/property_ids.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/message_properties/message_properties.h"

namespace velmora::test {
namespace {

using common::ptype::kBinary;
using common::ptype::kLong;
using common::ptype::kString8;
using common::ptype::kUnicode;
constexpr std::uint32_t kWestern = 1252;

Bytes Ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

Bytes Counting(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

std::u16string HexOfCounting(std::size_t count) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text = u"0x";
    for (std::size_t i = 0; i < count; ++i) {
        text += kDigits[(i & 0xFF) >> 4];
        text += kDigits[i & 0x0F];
    }
    return text;
}

TEST(MessagePropertiesTest, EachPropertyGivesTagNameTypeAndValueText) {
    const std::u16string longText(300, u'x');
    const std::u16string smiley = u"\U0001F600";
    const std::u16string pairAtCut = std::u16string(255, u'a') + smiley + u"tail";
    const struct {
        const char* what;
        PropInput input;
        std::uint32_t codePage;
        std::u16string tag, name, type, value;
        bool shortened;
    } cases[] = {
        {"subject without its marker",
         {0x0037, kUnicode, Utf16BytesTerminated(u"\x01\x01Hello")},
         kWestern,
         u"0x0037001F",
         u"PR_SUBJECT",
         u"PT_UNICODE",
         u"Hello",
         false},
        {"number",
         {0x0E08, kLong, LongBytes(-1234)},
         kWestern,
         u"0x0E080003",
         u"PR_MESSAGE_SIZE",
         u"PT_LONG",
         u"-1234",
         false},
        {"a number's surplus bytes are not a cut value",
         {0x0E07, kLong, Counting(40)},
         kWestern,
         u"0x0E070003",
         u"PR_MESSAGE_FLAGS",
         u"PT_LONG",
         u"50462976",
         false},
        {"unlisted id and type",
         {0x1003, 0x0008, {0xAB, 0x01}},
         kWestern,
         u"0x10030008",
         u"Property is-1003",
         u"0x0008",
         u"0xAB01",
         false},
        {"8-bit text in the message's code page",
         {0x0E04, kString8, Ascii("Caf\xE9")},
         1251,
         u"0x0E04001E",
         u"PR_DISPLAY_TO",
         u"PT_STRING8",
         u"Caf\u0439",
         false},
        {"long text",
         {0x1000, kUnicode, Utf16BytesTerminated(longText)},
         kWestern,
         u"0x1000001F",
         u"PR_BODY",
         u"PT_UNICODE",
         longText.substr(0, 256) + u"\u2026",
         true},
        {"a surrogate pair is never split",
         {0x1000, kUnicode, Utf16BytesTerminated(pairAtCut)},
         kWestern,
         u"0x1000001F",
         u"PR_BODY",
         u"PT_UNICODE",
         std::u16string(255, u'a') + u"\u2026",
         true},
        {"long binary",
         {0x0FFF, kBinary, Counting(200)},
         kWestern,
         u"0x0FFF0102",
         u"PR_ENTRYID",
         u"PT_BINARY",
         HexOfCounting(127) + u"\u2026",
         true},
        {"empty binary",
         {0x0FF9, kBinary, {}},
         kWestern,
         u"0x0FF90102",
         u"PR_RECORD_KEY",
         u"PT_BINARY",
         u"0x",
         false},
    };
    RecordBuilder records;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ExportedProp prop = records.Prop(c.input);
        const PropertyLine line = DescribeProperty(prop, c.codePage);
        EXPECT_EQ(line.tag, c.tag);
        EXPECT_EQ(line.name, c.name);
        EXPECT_EQ(line.typeName, c.type);
        EXPECT_EQ(line.value, c.value);
        EXPECT_EQ(line.shortened, c.shortened);
        EXPECT_EQ(line.size, c.input.bytes.size());
        EXPECT_EQ(line.source, &prop);
    }
}

// A value held in a file is shown from its first bytes alone; the whole of it,
// or as much of it as asked for, comes on demand.
TEST(MessagePropertiesTest, LargeValueFileIsShownCutAndReadWholeOnDemand) {
    const ScratchDir dir;
    constexpr std::size_t kSize = 100'000;
    const Bytes content = Counting(kSize);
    std::ofstream(dir / "value", std::ios::binary)
        .write(reinterpret_cast<const char*>(content.data()), kSize);
    RecordBuilder records;
    const ExportedProp prop = records.Prop(
        {0x3701, kBinary, Utf16BytesTerminated(common::PathToUtf16(dir / "value")), true});
    const PropertyLine line = DescribeProperty(prop, kWestern);
    EXPECT_EQ(line.size, kSize);
    EXPECT_TRUE(line.shortened);
    EXPECT_EQ(line.value, HexOfCounting(127) + u"\u2026");
    EXPECT_EQ(FullValueText(line, kWestern), HexOfCounting(kSize));
    EXPECT_EQ(FullValueText(line, kWestern, 10), HexOfCounting(10));
    EXPECT_EQ(FullValueText(PropertyLine{}, kWestern), u"");
}

// The message's own properties, then one list per recipient row and per
// attachment; an attachment's object and table row are joined in id order,
// the object's value winning where both hold an id.
TEST(MessagePropertiesTest, MessageRecipientsAndAttachmentsEachGetTheirList) {
    RecordBuilder records;
    std::deque<AttachmentRow> attachments;
    AttachmentRow* joined = &attachments.emplace_back(AttachmentRow{
        records.Map({{0x3705, kLong, LongBytes(9)}, {0x67F2, kLong, LongBytes(77)}}),
        records.Map({{0x3704, kString8, Ascii("\xE0.txt")}, {0x3705, kLong, LongBytes(1)}}),
        nullptr});
    AttachmentRow* objectless = &attachments.emplace_back(
        AttachmentRow{records.Map({{0x0E20, kLong, LongBytes(5)}}), nullptr, nullptr});
    const MailEntry* mail = records.Mail(
        records.Map({{0x3FDE, kLong, LongBytes(1251)},
                     {0x0037, kUnicode, Utf16BytesTerminated(u"Report")}}),
        {records.Recipient({{0x3001, kString8, Ascii("\xC8\xE2\xE0\xED")}}), records.Recipient({})},
        {joined, objectless, nullptr});

    const MessageProperties listed = ListMessageProperties(mail);
    EXPECT_EQ(listed.codePage, 1251u);
    ASSERT_EQ(listed.message.size(), 2u);
    EXPECT_EQ(listed.message[0].value, u"Report");
    ASSERT_EQ(listed.recipients.size(), 2u);
    ASSERT_EQ(listed.recipients[0].size(), 1u);
    EXPECT_EQ(listed.recipients[0][0].value, u"\u0418\u0432\u0430\u043D");
    EXPECT_TRUE(listed.recipients[1].empty());
    ASSERT_EQ(listed.attachments.size(), 3u);
    const PropertyLines& first = listed.attachments[0];
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].name, u"PR_ATTACH_FILENAME");
    EXPECT_EQ(first[0].value, u"\u0430.txt");
    EXPECT_EQ(first[1].value, u"1");
    EXPECT_EQ(first[2].name, u"DESCRIPTORID");
    ASSERT_EQ(listed.attachments[1].size(), 1u);
    EXPECT_EQ(listed.attachments[1][0].name, u"PR_ATTACH_SIZE");
    EXPECT_TRUE(listed.attachments[2].empty());

    const MessageProperties none = ListMessageProperties(nullptr);
    EXPECT_TRUE(none.message.empty() && none.recipients.empty() && none.attachments.empty());
}

TEST(MessagePropertiesTest, OneLineTurnsControlCharactersIntoSpaces) {
    EXPECT_EQ(OneLine(u"a\r\nb\tc\x7F\u00E9"), u"a  b c \u00E9");
}

}  // namespace
}  // namespace velmora::test
