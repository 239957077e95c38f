// Words for property ids and type codes, as the folder export writes them into
// CSV columns and side-file names.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/property_name_data.h"
#include "common/property_name_table.h"

namespace common {
namespace {

struct CodeAndName {
    std::uint16_t code;
    const char16_t* name;
};

const PropertyNameTable& Names() {
    return PropertyNameTable::Shared();
}

TEST(PropertyNames, ListsHaveTheExpectedSizes) {
    EXPECT_EQ(PropertyNameEntries().size(), 444u);
    EXPECT_EQ(TypeNameEntries().size(), 33u);
}

// Names exactly as users' existing exports have them: blanks inside names,
// glued words, lower-case hex and a name that disagrees with its own id.
TEST(PropertyNames, ListedIdsKeepTheirExactSpelling) {
    const CodeAndName cases[] = {
        {0x0002, u"PR_ALTERNATE_RECIPIENT_ALLOWED"},  // first listed
        {0x0037, u"PR_SUBJECT"},
        {0x1000, u"PR_BODY"},
        {0x0FFE, u"PR_OBJECT_TYPE"},
        {0x0FFF, u"PR_ENTRYID"},
        {0x67F2, u"DESCRIPTORID"},
        {0x802C, u"UNKNOWN_802C"},
        {0x802E, u"UNKNOWN_802e"},
        {0x656C, u"UNKNOWN_65c6"},
        {0x3905, u"UNKNOWN-0x3905"},
        {0x0E38, u"UNKNOWN6_0E38"},
        {0x0025, u"PR_PARENT_KEYUnknown"},
        {0x004B, u"PR_ORIG_MESSAGE_CLASS CLASS"},
        {0x0C17, u"PR_REPLY_REQUESTEDReply ED"},
        {0x6002, u"Found in NK2 file"},
        {0x8004, u"EMS_AB_FOLDE R_PATHNAME"},
        {0x8006, u"EMS_AB_HOME_ MDB"},
        {0x800B, u"EMS_AB_AUTOR EPLY"},
        {0x8026, u"UNKNOWN_8026 Array if Integer 32"},
        {0x80A1, u"EMS_AB_DXA_UNCONF_CONTAINER _LIST_O_ARRAy"},
        {0x8114, u"EMS_AB_RANGE _UPPER"},
        {0x8185, u"EMS_AB_CHARA CTER_SET"},
        {0x8010, u"PR_EMS_AB_HELP_DATA32"},
        {0x81C7, u"PR_EMS_AB_OBJ_VIEW_CONTAINERS_O"},  // last listed
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Names().PropertyName(c.code), c.name) << std::hex << c.code;
    }
}

// Every entry must be reachable by lookup, not only the ones picked above.
TEST(PropertyNames, EveryListedEntryIsFound) {
    for (const auto& entry : PropertyNameEntries()) {
        EXPECT_EQ(Names().PropertyName(entry.code), entry.name) << std::hex << entry.code;
    }
    for (const auto& entry : TypeNameEntries()) {
        EXPECT_EQ(Names().TypeName(entry.code), entry.name) << std::hex << entry.code;
    }
}

// Unlisted ids, including gaps next to listed ones and both ends of the key
// range, fall back to the hex form without leading zeros.
TEST(PropertyNames, UnlistedIdsFallBackToUpperCaseHex) {
    const CodeAndName cases[] = {
        {0x0000, u"Property is-0"},    {0x0001, u"Property is-1"},    {0x0003, u"Property is-3"},
        {0x00FF, u"Property is-FF"},   {0x0E2A, u"Property is-E2A"},  {0x1003, u"Property is-1003"},
        {0x81C8, u"Property is-81C8"}, {0xABCD, u"Property is-ABCD"}, {0xFFFF, u"Property is-FFFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Names().PropertyName(c.code), c.name) << std::hex << c.code;
    }
}

TEST(PropertyTypeNames, ListedAndUnlistedCodes) {
    const CodeAndName cases[] = {
        {0x0000, u"PT_UNSPECIFIED"},
        {0x0003, u"PT_LONG"},
        {0x001E, u"PT_STRING8"},
        {0x001F, u"PT_UNICODE"},
        {0x0102, u"PT_BINARY"},
        {0x101F, u"PT_MV_UNICODE"},
        {0x1102, u"PT_MV_BINARY"},
        {0x0008, u""},
        {0x1003, u""},
        {0x0041, u""},
        {0x1103, u""},
        {0xFFFF, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Names().TypeName(c.code), c.name) << std::hex << c.code;
    }
}

// Ids and type codes overlap numerically; each must be looked up in its own list.
TEST(PropertyTypeNames, IdsAndTypesAreSeparateKeySpaces) {
    EXPECT_EQ(Names().PropertyName(0x001E), u"Property is-1E");
    EXPECT_EQ(Names().TypeName(0x0037), u"");
    EXPECT_EQ(Names().PropertyName(0x1000), u"PR_BODY");
    EXPECT_EQ(Names().TypeName(0x1000), u"PT_MV_UNSPECIFIED");
}

}  // namespace
}  // namespace common
