// Property values as text: every type row, 8-bit text in the message's code
// page, subjects with their prefix markers, and values held in value files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "common/date_text.h"
#include "common/path_text.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/value_text.h"

namespace velmora::test {
namespace {

Bytes Hex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

Bytes DoubleBytes(double value) {
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

TEST(ValueToTextTest, EachTypeHasItsFormat) {
    const struct {
        std::uint16_t type;
        Bytes bytes;
        std::u16string text;
    } cases[] = {
        {0x0003, {0x34, 0x12}, u"4660"},  // two bytes, zero-extended
        {0x0003, LongBytes(-1), u"-1"},
        {0x0003, {}, u"0"},
        {0x000B, {0x01}, u"1"},
        {0x0005, DoubleBytes(1.5), u"1.500000"},
        {0x0014, {0xEF, 0xBE, 0xAD, 0xDE}, u"0Xdeadbeef"},
        {0x0014, Hex("0100000000000080"), u"0X8000000000000001"},
        {0x001F, Utf16Bytes(u"H\u00e9\0junk"), u"H\u00e9"},
        {0x001F, Utf16Bytes(u"no terminator"), u"no terminator"},
        {0x001E, {'c', 'a', 'f', 0xE9, 0, 'x'}, u"caf\u00e9"},
        {0x0048, Hex("000102030405060708090a0b0c0d0e0f"), u"03020100-0504-0706,,f0e0d0c0b0a0908"},
        {0x0048, {0x01}, u"00000001-0000-0000,,0"},
        {0x0048, {}, u"00000000-0000-0000,,0"},
        {0x0102, {0x01, 0xAB}, u"0x01AB"},
        {0x0102, {}, u"0x"},
        {0x101F, {0x41, 0x00}, u"0x4100"},  // multi-valued: shown as bytes
        {0x0040, Hex("ffffffffffffffff"), u"Invalid DateTime"},
    };
    RecordBuilder records;
    for (const auto& c : cases) {
        const ExportedProp prop = records.Prop({0x1234, c.type, c.bytes});
        EXPECT_EQ(ValueToText(prop), c.text) << std::hex << c.type;
    }
}

TEST(ValueToTextTest, DatesUseTheLocalDateText) {
    RecordBuilder records;
    const std::uint64_t fileTime = 129218918830000000ULL;  // 2010-06-27
    Bytes bytes(8);
    std::memcpy(bytes.data(), &fileTime, 8);
    for (const std::uint16_t type : {0x0040, 0x0007}) {
        const std::u16string text = ValueToText(records.Prop({0x0039, type, bytes}));
        EXPECT_EQ(text, common::FileTimeText(fileTime));
        EXPECT_NE(text, u"Invalid DateTime");
        EXPECT_FALSE(text.empty());
    }
}

TEST(CodePageTest, EightBitTextIsDecodedWithTheMessageCodePage) {
    const struct {
        std::uint32_t codePage;
        std::string hex;
        std::u16string text;
    } cases[] = {
        {1251, "cff0e8e2e5f2", u"Привет"},
        {20866, "f0d2c9d7c5d4", u"Привет"},
        {1253, "c1e8deede1", u"Αθήνα"},
        {28597, "c1e8deede1", u"Αθήνα"},
        {932, "93fa967b8cea", u"日本語"},
        {51932, "c6fccbdcb8ec", u"日本語"},
        {50220, "1b2442467c4b5c386c1b2842", u"日本語"},
        {50221, "1b284931321b2842", u"ｱｲ"},
        {936, "d6d0cec4", u"中文"},
        {950, "a4a4a4e5", u"中文"},
        {949, "c7d1b1b9", u"한국"},
        {65001, "d0bfd180d0b8", u"при"},
        {1252, "80e9", u"€é"},
        {1252, "81", u"\u0081"},  // undefined in 1252: the byte keeps its value
        {12345, "e9", u"é"},      // unknown code page: Windows-1252
        {932,
         "41"
         "93",
         u"A\uFFFD"},               // a lead byte without its trail byte
        {1251, "cff000e8", u"Пр"},  // ends at the first NUL
    };
    RecordBuilder records;
    for (const auto& c : cases) {
        EXPECT_EQ(ValueToText(records.Prop({0x0037, 0x001E, Hex(c.hex)}), c.codePage), c.text)
            << c.codePage;
    }
}

TEST(SubjectTextTest, PrefixMarkersAreSkippedOrKept) {
    const struct {
        const char* name;
        std::uint16_t type;
        Bytes bytes;
        std::u16string text;
    } cases[] = {
        {"marker 1,5 skipped", 0x001F, Utf16Bytes(u"\u0001\u0005RE: Hi"), u"RE: Hi"},
        {"marker 1,1 skipped", 0x001F, Utf16Bytes(u"\u0001\u0001Hi"), u"Hi"},
        {"marker 1,16 skipped", 0x001F, Utf16Bytes(u"\u0001\u0010Hi"), u"Hi"},
        {"marker 1,4 kept whole", 0x001F, Utf16Bytes(u"\u0001\u0004Hi"), u"\u0001\u0004Hi"},
        {"plain UTF-16", 0x001F, Utf16Bytes(u"Hello"), u"Hello"},
        {"empty", 0x001F, {}, u""},
        {"bytes 1,1 read as 8-bit", 0x001F, {0x01, 0x01, 'O', 'K'}, u"OK"},
        {"8-bit with marker", 0x001E, {0x01, 0x04, 'R', 'E', ':', ' ', 0xCF, 0xF0}, u"RE: Пр"},
        {"8-bit plain", 0x001E, {0xCF, 0xF0, 0xE8}, u"При"},
    };
    RecordBuilder records;
    for (const auto& c : cases)
        EXPECT_EQ(SubjectText(records.Prop({0x0037, c.type, c.bytes}), 1251), c.text) << c.name;
}

class ValueFileTest : public ::testing::Test {
  protected:
    PropInput InFile(const std::string& name, std::uint16_t type, const Bytes& content) {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(content.data()),
                   static_cast<std::streamsize>(content.size()));
        return Missing(name, type);
    }
    PropInput Missing(const std::string& name, std::uint16_t type) {
        return {0x3701, type, Utf16BytesTerminated(common::PathToUtf16(dir_ / name)), true};
    }
    ScratchDir dir_;
    RecordBuilder records_;
};

TEST_F(ValueFileTest, ValuesInFilesReadAsTheirContent) {
    const ExportedProp binary = records_.Prop(InFile("a", 0x0102, {0xCA, 0xFE}));
    EXPECT_EQ(ValueBytes(binary), (Bytes{0xCA, 0xFE}));
    EXPECT_EQ(ValueToText(binary), u"0xCAFE");
    EXPECT_EQ(ValueSize(binary), 2u);
    const ExportedProp text = records_.Prop(InFile("b", 0x001F, Utf16Bytes(u"long body")));
    EXPECT_EQ(ValueToText(text), u"long body");
}

// The start of a value without reading the rest: the properties view shows
// the beginning of values as large as an attachment's data.
TEST_F(ValueFileTest, ValuePrefixReadsAtMostTheLimit) {
    const Bytes content{1, 2, 3, 4, 5};
    const ExportedProp inFile = records_.Prop(InFile("p", 0x0102, content));
    const ExportedProp inMemory = records_.Prop({0x3701, 0x0102, content});
    for (const ExportedProp& prop : {inFile, inMemory}) {
        EXPECT_EQ(ValuePrefix(prop, 0), Bytes{});
        EXPECT_EQ(ValuePrefix(prop, 3), (Bytes{1, 2, 3}));
        EXPECT_EQ(ValuePrefix(prop, 5), content);
        EXPECT_EQ(ValuePrefix(prop, SIZE_MAX), content);
    }
    EXPECT_EQ(ValuePrefix(records_.Prop(Missing("gone", 0x0102)), 10), Bytes{});
}

TEST_F(ValueFileTest, MissingValueFileIsAnEmptyValue) {
    const ExportedProp binary = records_.Prop(Missing("gone", 0x0102));
    EXPECT_EQ(ValueToText(binary), u"0x");
    EXPECT_EQ(ValueToText(records_.Prop(Missing("gone", 0x001F))), u"");
    EXPECT_EQ(SubjectText(records_.Prop(Missing("gone", 0x001F))), u"");
    EXPECT_EQ(ValueSize(binary), 0u);
    std::vector<std::uint8_t> content{1, 2};
    EXPECT_FALSE(ReadWholeFile(common::PathToUtf16(dir_ / "gone"), content));
}

TEST_F(ValueFileTest, TerminatorsAreThreeBytesAfterFilesAndFourAfterMemory) {
    EXPECT_EQ(ValueBytesTerminated(records_.Prop(InFile("c", 0x001F, {'a', 0}))),
              (Bytes{'a', 0, 0, 0, 0}));
    EXPECT_EQ(ValueBytesTerminated(records_.Prop({0x37, 0x001F, {'a', 0}})),
              (Bytes{'a', 0, 0, 0, 0, 0}));
    EXPECT_EQ(ValueBytesTerminated(records_.Prop({0x37, 0x0102, {}})), (Bytes{0, 0, 0, 0}));
}

TEST_F(ValueFileTest, WriteDataFileTruncatesAndWritesTheValueAsItStands) {
    const std::u16string target = common::PathToUtf16(dir_ / "out.bin");
    std::ofstream(dir_ / "out.bin") << "a much longer old content";
    ASSERT_TRUE(WriteDataFile(records_.Prop({0x3701, 0x0102, {1, 2, 3}}), target));
    std::vector<std::uint8_t> content;
    ASSERT_TRUE(ReadWholeFile(target, content));
    EXPECT_EQ(content, (Bytes{1, 2, 3}));
    ASSERT_TRUE(WriteDataFile(records_.Prop(InFile("src", 0x0102, {9, 8})), target));
    ASSERT_TRUE(ReadWholeFile(target, content));
    EXPECT_EQ(content, (Bytes{9, 8}));
    EXPECT_FALSE(WriteDataFile(records_.Prop({0x3701, 0x0102, {1}}),
                               common::PathToUtf16(dir_ / "no/such/dir")));
}

}  // namespace
}  // namespace velmora::test
