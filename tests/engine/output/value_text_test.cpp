// Text forms of property values as the folder export writes them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "engine/output/files/csv_line.h"
#include "engine/output/files/value_text.h"
#include "tests/engine/output/output_test_support.h"

namespace corvex {
namespace {

using test::Bytes;
using test::LittleEndian;
using test::Utf16Le;
using test::View;

struct TextCase {
    const char* label;
    std::uint16_t type;
    Bytes bytes;
    std::u16string expected;
};

constexpr std::uint64_t kFileTime20090213 = 128790414900000000;  // 2009-02-13 23:31:30 UTC

void SetEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

// Dates depend on the zone and locale; pin both so the expected text is fixed.
class ValueTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetEnvironment("TZ", "UTC0");
        SetEnvironment("LC_ALL", "C");
        tzset();
    }

    static void ExpectAll(const std::vector<TextCase>& cases, TextVariant variant) {
        for (const TextCase& c : cases) {
            EXPECT_EQ(ValueText(View(0x1234, c.type, c.bytes), variant), c.expected) << c.label;
        }
    }
};

TEST_F(ValueTextTest, NumbersReadOnlyTheirLeadingBytes) {
    ExpectAll(
        {
            {"long negative", 0x0003, {0xFF, 0xFF, 0xFF, 0xFF}, u"-1"},
            {"long short value", 0x0003, {0x2A}, u"42"},
            {"long extra bytes", 0x0003, {0x01, 0, 0, 0, 0x99}, u"1"},
            {"long empty", 0x0003, {}, u"0"},
            {"double", 0x0005, LittleEndian(0x3FF8000000000000, 8), u"1.500000"},
            {"double negative", 0x0005, LittleEndian(0xC059000000000000, 8), u"-100.000000"},
            {"boolean", 0x000B, {0x01, 0x00}, u"1"},
            {"longlong", 0x0014, LittleEndian(0x1ABCDEF00, 8), u"0X1abcdef00"},
            {"longlong top bit", 0x0014, LittleEndian(0xFFFFFFFFFFFFFFFF, 8),
             u"0Xffffffffffffffff"},
            {"longlong zero", 0x0014, {}, u"0X0"},
        },
        TextVariant::kWide);
}

TEST_F(ValueTextTest, UnicodeStopsAtNulAndDropsTheMarkerPair) {
    ExpectAll(
        {
            {"plain", 0x001F, Utf16Le(u"Hi\0junk"), u"Hi"},
            {"unterminated", 0x001F, Utf16Le(u"abc", false), u"abc"},
            {"odd byte ignored", 0x001F, {'a', 0, 'b'}, u"a"},
            {"marker 01 01", 0x001F, Utf16Le(u"\x01\x01Subject"), u"Subject"},
            {"marker 01 05", 0x001F, Utf16Le(u"\x01\x05Subject"), u"Subject"},
            {"marker 01 10", 0x001F, Utf16Le(u"\x01\x10Subject"), u"Subject"},
            {"not a marker", 0x001F, Utf16Le(u"\x01\x02X"), u"\x01\x02X"},
            {"lone U+0001", 0x001F, Utf16Le(u"\x01"), u"\x01"},
            {"non-ASCII", 0x001F, Utf16Le(u"Grüße 😀"), u"Grüße 😀"},
        },
        TextVariant::kWide);
}

TEST_F(ValueTextTest, DatesAreValidNullOrInvalid) {
    ExpectAll(
        {
            {"valid", 0x0040, LittleEndian(kFileTime20090213, 8), u"2009-02-13 23:31:30"},
            {"null", 0x0040, LittleEndian(0, 8), u""},
            {"empty", 0x0040, {}, u""},
            {"top bit set", 0x0040, LittleEndian(0x8000000000000000, 8), u"Invalid DateTime"},
            {"after 9999", 0x0040, LittleEndian(2650467744000000000, 8), u"Invalid DateTime"},
        },
        TextVariant::kWide);
}

TEST_F(ValueTextTest, ClsidAndHexadecimalForms) {
    Bytes sequence(16);
    for (std::uint8_t i = 0; i < 16; ++i) sequence[i] = i;
    ExpectAll(
        {
            {"clsid", 0x0048, sequence, u"03020100-0504-0706,,f0e0d0c0b0a0908"},
            {"clsid short", 0x0048, {0xAB}, u"000000ab-0000-0000,,0"},
            {"binary", 0x0102, {0xAB, 0x01, 0x00}, u"0xAB0100"},
            {"binary empty", 0x0102, {}, u"0x"},
            {"apptime", 0x0007, LittleEndian(0x1, 8), u"0x0100000000000000"},
            {"unknown type", 0x1102, {0x0F}, u"0x0F"},
            {"string8 in wide store", 0x001E, {'a', 0}, u"0x6100"},
        },
        TextVariant::kWide);
}

TEST_F(ValueTextTest, AnsiStoresShowEightBitText) {
    ExpectAll(
        {
            {"windows-1252", 0x001E, {'c', 'a', 'f', 0xE9, ' ', 0x80, 0, 'x'}, u"café €"},
            {"marker dropped", 0x001E, {0x01, 0x10, 'R', 'E', 0}, u"RE"},
            {"not a marker", 0x001E, {0x01, 0x02, 'R', 0}, u"\x01\x02R"},
        },
        TextVariant::kAnsi);
}

TEST_F(ValueTextTest, OutOfLineValuesShowTheBytesAsHeld) {
    const Bytes nid = LittleEndian(0x8041, 4);
    EXPECT_EQ(ValueText(View(0x1000, 0x001F, nid, true), TextVariant::kWide), u"0x41800000");
    EXPECT_EQ(ValueText(View(0x0E08, 0x0003, nid, true), TextVariant::kWide), u"0x41800000");
}

TEST_F(ValueTextTest, RowTextKeepsTheMarkerAndFormatsOutOfLineCells) {
    const Bytes marked = Utf16Le(u"\x01\x01Name");
    EXPECT_EQ(RowText(View(0x3001, 0x001F, marked), TextVariant::kWide), u"\x01\x01Name");
    EXPECT_EQ(RowText(View(0x3001, 0x001E, {0x01, 0x01, 'N', 0}), TextVariant::kAnsi),
              u"\x01\x01N");
    EXPECT_EQ(RowText(View(0x0E08, 0x0003, LittleEndian(7, 4), true), TextVariant::kWide), u"7");
}

TEST_F(ValueTextTest, NameTextFormatsOnlyNameTypes) {
    struct NameCase {
        const char* label;
        PropertyView view;
        TextVariant variant;
        std::u16string expected;
    };
    const Bytes inbox = Utf16Le(u"\x01\x01Inbox");
    const Bytes number = LittleEndian(5, 4);
    const Bytes dbl = LittleEndian(0x3FF8000000000000, 8);
    const Bytes date = LittleEndian(kFileTime20090213, 8);
    const Bytes ansi = {'I', 'n', 0};
    const NameCase cases[] = {
        {"unicode", View(0x3001, 0x001F, inbox), TextVariant::kWide, u"Inbox"},
        {"long", View(0x3001, 0x0003, number), TextVariant::kWide, u"5"},
        {"boolean", View(0x3001, 0x000B, number), TextVariant::kWide, u"5"},
        {"longlong", View(0x3001, 0x0014, number), TextVariant::kWide, u"0X5"},
        {"apptime as date", View(0x3001, 0x0007, date), TextVariant::kWide, u"2009-02-13 23:31:30"},
        {"binary", View(0x3001, 0x0102, ansi), TextVariant::kWide, u"0x496E00"},
        {"double", View(0x3001, 0x0005, dbl), TextVariant::kWide, u"default::0x000000000000F83F"},
        {"systime", View(0x3001, 0x0040, date), TextVariant::kWide, u"default::0x00F59632338EC901"},
        {"string8 ansi", View(0x3001, 0x001E, ansi), TextVariant::kAnsi, u"In"},
        {"string8 wide", View(0x3001, 0x001E, ansi), TextVariant::kWide, u"default::0x496E00"},
    };
    for (const NameCase& c : cases) EXPECT_EQ(NameText(c.view, c.variant), c.expected) << c.label;
}

// The replacements run in a fixed order: CR LF must become one "<rn>", not
// "<r><n>", and a LF before a CR is no pair.
TEST(CsvEscape, ReplacesLineBreaksThenCommas) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a\r\nb\rc\nd,e", u"a<rn>b<r>c<n>d<Comm>e"},
        {u"\n\r", u"<n><r>"},
        {u"\r\r\n", u"<r><rn>"},
        {u",,", u"<Comm><Comm>"},
        {u"<rn>", u"<rn>"},
        {u"", u""},
    };
    for (const auto& [input, expected] : cases) EXPECT_EQ(EscapeCsvValue(input), expected);
}

}  // namespace
}  // namespace corvex
