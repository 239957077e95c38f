// Text and paths as every layer converts them: UTF-16 to UTF-8 and back, names
// capped on character boundaries, and paths made from UTF-16 names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/path_text.h"
#include "common/utf16_text.h"

namespace common {
namespace {

std::u16string Repeat(std::u16string_view part, std::size_t times) {
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i) text += part;
    return text;
}

// Lone surrogate halves name no character: they leave as U+FFFD wherever they
// stand, and a pair is never split.
TEST(Utf16Text, ConvertsWholeCharactersAndReplacesLoneHalves) {
    const struct {
        std::u16string utf16;
        std::string utf8;
        std::u16string back;
    } cases[] = {
        {u"", "", u""},
        {u"abc", "abc", u"abc"},
        {u"é中", "\xC3\xA9\xE4\xB8\xAD", u"é中"},
        {u"😀", "\xF0\x9F\x98\x80", u"😀"},
        {std::u16string(u"\xD800x"), "\xEF\xBF\xBDx", u"\uFFFDx"},
        {std::u16string(u"x\xDC00"), "x\xEF\xBF\xBD", u"x\uFFFD"},
        {std::u16string(u"\xDC00\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD", u"\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.back);
        EXPECT_EQ(PathToUtf16(PathFromUtf16(c.utf16)), c.back);
        EXPECT_EQ(PathFromUtf16(c.utf16).u8string().size(), c.utf8.size());
    }
}

TEST(Utf16Text, BufferCopiesKeepPairsWhole) {
    char16_t buffer[3];
    CopyToBuffer(u"ab😀", buffer, 4);  // would need 5 units with the terminator
    EXPECT_EQ(std::u16string(buffer), u"ab");
    CopyToBuffer(u"a😀", buffer, 3);
    EXPECT_EQ(std::u16string(buffer), u"a");
}

TEST(CapUtf8Bytes, CutsOnCharacterBoundaries) {
    const std::u16string lone = u"\xD800x";
    EXPECT_EQ(CapUtf8Bytes(u"abc", 2), u"ab");
    EXPECT_EQ(CapUtf8Bytes(u"ééé", 5), u"éé");
    EXPECT_EQ(CapUtf8Bytes(u"😀", 3), u"");
    EXPECT_EQ(CapUtf8Bytes(u"😀", 4), u"😀");
    EXPECT_EQ(CapUtf8Bytes(lone, 3), lone.substr(0, 1));  // written as U+FFFD, 3 bytes
    EXPECT_EQ(PathFromUtf16(CapUtf8Bytes(Repeat(u"中", 100), kMaxComponentBytes)).u8string().size(),
              255u);
}

}  // namespace
}  // namespace common
