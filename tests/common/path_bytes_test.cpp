// File names that are no UTF-8 (Latin-1 names from old disks): carried in
// UTF-16 and back to the very same bytes, and found again from the lossy text
// a file dialog shows for them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/path_text.h"
#include "common/shown_path.h"
#include "common/utf16_text.h"
#include "tests/support/test_paths.h"

namespace common {
namespace {

namespace fs = std::filesystem;

TEST(PathBytes, EveryNameSurvivesTheRoundTripExactly) {
    const struct {
        const char* label;
        std::string bytes;
        std::u16string carried;
    } cases[] = {
        {"empty", "", u""},
        {"ASCII", "Inbox.pst", u"Inbox.pst"},
        {"UTF-8",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xF0\x9F\x98\x80",
         u"Grüße 😀"},
        {"Latin-1",
         "Gr\xFC\xDF"
         "e.pst",
         u"Gr\xDCFC\xDCDF"
         "e.pst"},
        {"UTF-8 then Latin-1", "\xC3\xA9\xE9", u"é\xDCE9"},
        {"lone continuation", "\x80", u"\xDC80"},
        {"cut sequence", "\xE4\xB8", u"\xDCE4\xDCB8"},
        {"overlong slash", "\xC0\xAF", u"\xDCC0\xDCAF"},
        {"encoded surrogate", "\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
        {"byte FF", "a\xFF", u"a\xDCFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(PathBytesToUtf16(c.bytes), c.carried);
        EXPECT_EQ(Utf16ToPathBytes(c.carried), c.bytes);
        EXPECT_EQ(PathFromUtf16(c.carried).native(), c.bytes);
        EXPECT_EQ(PathToUtf16(fs::path(c.bytes)), c.carried);
    }
    // Lone halves that stand for no byte still leave as U+FFFD.
    EXPECT_EQ(Utf16ToPathBytes(std::u16string(u"\xDC7F\xD800")), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

// What a dialog that decodes names lossily shows for `bytes`.
std::u16string Shown(const std::string& bytes) {
    return Utf8ToUtf16(bytes);
}

TEST(ShownPath, FindsTheFileBehindALossyName) {
    const velmora::test::ScratchDir scratch;
    const fs::path folder = scratch.Path() / "Archiv \xE4lter";
    fs::create_directories(folder);
    const fs::path store = folder /
                           "Gr\xFC\xDF"
                           "e.pst";
    std::ofstream(store) << "store";
    std::ofstream(folder / "a\xE9.pst") << "one";
    std::ofstream(folder / "a\xE8.pst") << "another that shows the same";

    const struct {
        const char* label;
        std::u16string shown;
        std::u16string found;
    } cases[] = {
        {"Latin-1 folder and file", Shown(store.native()), PathToUtf16(store)},
        {"a name that already names it", PathToUtf16(store), PathToUtf16(store)},
        {"two files show alike", Shown((folder / "a\xE9.pst").native()),
         Shown((folder / "a\xE9.pst").native())},
        {"no such file", Shown((folder / "x\xE9.pst").native()),
         Shown((folder / "x\xE9.pst").native())},
        {"no lossy character", u"/no/such/store.pst", u"/no/such/store.pst"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(FindShownPath(c.shown), c.found);
    }
}

}  // namespace
}  // namespace common
