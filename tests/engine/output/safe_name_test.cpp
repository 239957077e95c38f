// Folder and message names as directory names of the folder export, including
// names chosen to escape the target folder.
#include <gtest/gtest.h>

#include <string>

#include "common/path_text.h"
#include "engine/output/files/safe_name.h"
#include "tests/engine/output/output_test_support.h"
#include "tests/support/test_paths.h"

namespace corvex {
namespace {

struct NameCase {
    const char* label;
    std::u16string input;
    bool messageRule;
    std::u16string expected;
};

std::u16string Repeat(std::u16string_view part, std::size_t times) {
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i) text += part;
    return text;
}

std::size_t Utf8Size(std::u16string_view text) {
    return common::PathFromUtf16(text).u8string().size();
}

TEST(SafeName, FollowsTheDescribedSteps) {
    const NameCase cases[] = {
        {"full stop rule", u"RE: x.", true, u"RE_ x._"},
        {"no full stop rule for folders", u"RE: x.", false, u"RE_ x."},
        {"reserved characters", u"a/b\\c:d*e?f\"g<h>i|j", false, u"a_b_c_d_e_f_g_h_i_j"},
        {"blanks only", u"   ", false, u""},
        {"empty message subject", u"", true, u""},
        {"trimmed both ends", u"  Inbox  ", false, u"Inbox"},
        {"no-break space trimmed", u"\u00A0Inbox\u3000", false, u"Inbox"},
        {"tab replaced before trimming", u"\t x \t", false, u"_ x _"},
        {"cut then full stop", Repeat(u"a", 49) + u"." + Repeat(u"b", 10), true,
         Repeat(u"a", 49) + u"._"},
        {"cut then trim", Repeat(u"a", 48) + u"  " + Repeat(u"b", 10), false, Repeat(u"a", 48)},
        {"fifty kept", Repeat(u"c", 50), false, Repeat(u"c", 50)},
        {"case kept", u"INBOX inbox", false, u"INBOX inbox"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(SafeName(c.input, c.messageRule), c.expected) << c.label;
}

TEST(SafeName, DefusesHostileNames) {
    const NameCase cases[] = {
        {"parent", u"..", false, u"__"},
        {"self", u".", false, u"_"},
        {"three dots", u"...", false, u"___"},
        {"dots in blanks", u"  ..  ", false, u"__"},
        {"parent as subject", u"..", true, u".._"},
        {"leading dot kept", u".hidden", false, u".hidden"},
        {"dots then letter", u"..x", false, u"..x"},
        {"path climb", u"../../etc", false, u".._.._etc"},
        {"NUL and unit separator", std::u16string(u"a\0b\x1F", 4), false, u"a_b_"},
        {"DEL", u"a\x7F", false, u"a_"},
        {"line breaks", u"a\r\nb", false, u"a__b"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(SafeName(c.input, c.messageRule), c.expected) << c.label;
}

TEST(SafeName, NeverSplitsACharacter) {
    const std::u16string face = u"😀";  // a surrogate pair
    EXPECT_EQ(SafeName(Repeat(u"a", 49) + face, false), Repeat(u"a", 49));
    EXPECT_EQ(SafeName(Repeat(u"a", 48) + face, false), Repeat(u"a", 48) + face);
    // 300 UTF-8 bytes in, 150 out: the 50-unit cut keeps names far below 255 bytes.
    const std::u16string wide = SafeName(Repeat(u"中", 100), false);
    EXPECT_EQ(wide, Repeat(u"中", 50));
    EXPECT_EQ(Utf8Size(wide), 150u);
}

// A sibling's number goes after the name, and the name gives way so that the
// whole stays one directory name of at most 255 bytes.
TEST(NumberedName, AppendsTheNumberWithinTheByteCap) {
    const struct {
        const char* label;
        std::u16string name;
        std::size_t number;
        std::u16string expected;
    } cases[] = {
        {"short name", u"Inbox", 2, u"Inbox (2)"},
        {"empty name", u"", 3, u" (3)"},
        {"exactly full", Repeat(u"a", 251), 2, Repeat(u"a", 251) + u" (2)"},
        {"three-byte characters cut whole", Repeat(u"中", 85), 12, Repeat(u"中", 83) + u" (12)"},
        {"surrogate pair dropped whole", Repeat(u"a", 250) + u"😀", 2, Repeat(u"a", 250) + u" (2)"},
    };
    for (const auto& c : cases) {
        const std::u16string numbered = NumberedName(c.name, c.number);
        EXPECT_EQ(numbered, c.expected) << c.label;
        EXPECT_LE(Utf8Size(numbered), common::kMaxComponentBytes) << c.label;
    }
}

// Whatever a store calls its folders, the directory made for one is a direct
// child of the target folder.
TEST(SafeName, DirectoriesStayInsideTheTarget) {
    velmora::test::ScratchDir target;
    const std::u16string names[] = {u"..",
                                    u".",
                                    u"...",
                                    u" .. ",
                                    u"../x",
                                    u"..\\..\\x",
                                    u"/abs",
                                    u"C:\\Windows",
                                    Repeat(u"中", 200),
                                    std::u16string(u"\0", 1)};
    for (const std::u16string& name : names) {
        for (const bool messageRule : {false, true}) {
            const std::u16string safe = SafeName(name, messageRule);
            ASSERT_FALSE(safe.empty());
            const std::filesystem::path directory = target.Path() / common::PathFromUtf16(safe);
            EXPECT_EQ(directory.lexically_normal().parent_path(), target.Path().lexically_normal());
            EXPECT_LE(Utf8Size(safe), common::kMaxComponentBytes);
            EXPECT_TRUE(std::filesystem::create_directory(directory) ||
                        std::filesystem::is_directory(directory));
        }
    }
}

}  // namespace
}  // namespace corvex
