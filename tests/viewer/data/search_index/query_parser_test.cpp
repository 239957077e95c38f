// Queries that cannot be parsed get one line saying where and what; every
// form of the language parses; no input, however long or deep, gets more.
#include <gtest/gtest.h>

#include <string>

#include "viewer/data/search_index/query_parser.h"

namespace velmora::search {
namespace {

TEST(QueryParserTest, UnparsableQueriesSayWhereAndWhy) {
    const struct {
        std::string query;
        std::string error;
    } cases[] = {
        {"", "column 1: the query is empty"},
        {"   ", "column 1: the query is empty"},
        {"sender:alice http://example.com",
         "column 1: unknown field 'sender:'; the fields are from: to: cc: "
         "subject: body: attachment: folder: date: has: is:"},
        {std::string(65, 'x'),
         "column 1: '" + std::string(40, 'x') + "\u2026" +
             "' holds only words longer than 64 bytes, which the index does not keep"},
        {"budget (contract", "column 8: '(' is never closed"},
        {"budget)", "column 7: ')' without a matching '('"},
        {"()", "column 2: nothing between '(' and ')'"},
        {"\"signed contract", "column 1: the phrase that starts here has no closing '\"'"},
        {"from:\"alice", "column 6: the phrase that starts here has no closing '\"'"},
        {"sender:alice",
         "column 1: unknown field 'sender:'; the fields are from: to: cc: "
         "subject: body: attachment: folder: date: has: is:"},
        {"from:", "column 6: 'from:' needs a value right after the colon"},
        {"subject: budget", "column 9: 'subject:' needs a value right after the colon"},
        {"OR budget", "column 1: 'OR' needs a term before it"},
        {"budget OR", "column 8: 'OR' needs a term after it"},
        {"budget OR OR x", "column 8: 'OR' needs a term after it"},
        {"AND budget", "column 1: 'AND' needs a term before it"},
        {"budget AND", "column 8: 'AND' needs a term after it"},
        {"budget NOT", "column 8: 'NOT' needs a term after it"},
        {"- budget", "column 1: '-' needs a term right after it"},
        {"budget -", "column 8: '-' needs a term right after it"},
        {"*", "column 1: '*' must follow a word, as in budg*"},
        {"to:bob@*", "column 4: '*' must follow a word, as in budg*"},
        {"!!!", "column 1: '!!!' holds no letters or digits to search for"},
        {"caf\xc3\xa9 \xe2\x80\x94",
         "column 6: '\xe2\x80\x94' holds no letters or digits to search for"},
        // Text quoted back stays on one line and short.
        {"a subject:\"\n\"", "column 11: ' ' holds no letters or digits to search for"},
        {"date:" + std::string(50, '9'), "column 6: '" + std::string(40, '9') +
                                             "\u2026' is not a day; a day is written "
                                             "YYYY-MM-DD, a range A..B, either end open"},
        {"has:pictures", "column 5: has: takes only 'attachment'"},
        {"is:flagged", "column 4: is: takes 'unread', 'read' or 'important'"},
        {"date:..", "column 6: date: needs a day at one end at least"},
        {"date:2001-13-01..",
         "column 6: '2001-13-01' is not a day; a day is written YYYY-MM-DD, "
         "a range A..B, either end open"},
        {"date:2001-02-29",
         "column 6: '2001-02-29' is not a day; a day is written YYYY-MM-DD, "
         "a range A..B, either end open"},
        {"date:2001-05-01..May",
         "column 18: 'May' is not a day; a day is written YYYY-MM-DD, "
         "a range A..B, either end open"},
        {"date:2001-12-31..2001-05-01", "column 6: the range ends before it starts"},
    };
    for (const auto& c : cases) {
        const ParsedQuery parsed = ParseQuery(c.query);
        EXPECT_FALSE(parsed.query) << c.query;
        EXPECT_EQ(parsed.error, c.error) << c.query;
    }
}

TEST(QueryParserTest, EveryFormOfTheLanguageParses) {
    for (const char* query : {"budget",
                              "Budget contract",
                              "from:alice to:bob cc:carol subject:renewal",
                              "body:zanzibar attachment:budget.xlsx folder:\"sent items\"",
                              "\"exact phrase\"",
                              "subject:\"contract renewal\"",
                              "budg*",
                              "to:bob@exa*",
                              "date:2001-05-01..2001-12-31",
                              "date:2001-05-01..",
                              "date:..2001-12-31",
                              "date:2008-02-29",
                              "has:attachment",
                              "is:unread",
                              "is:read",
                              "is:important",
                              "a AND b",
                              "a OR b",
                              "NOT a",
                              "-a",
                              "-(a OR b) c",
                              "(a OR b) AND NOT (c -d)",
                              "10:30",
                              "http://example.com/x",
                              "caf\xc3\xa9",
                              "\xe6\x9d\xb1\xe4\xba\xac",
                              "FROM:Alice",
                              "a\tOR\nb",
                              "NOT NOT a",
                              "ANDROID ORBIT NOTE"}) {
        const ParsedQuery parsed = ParseQuery(query);
        EXPECT_TRUE(parsed.query) << query << ": " << parsed.error;
    }
}

TEST(QueryParserTest, LengthAndNestingAreBounded) {
    std::string deep;
    for (int i = 0; i < kMaxQueryNesting - 1; ++i) deep += "(";
    deep += "a";
    for (int i = 0; i < kMaxQueryNesting - 1; ++i) deep += ")";
    EXPECT_TRUE(ParseQuery(deep).query);

    const std::string tooDeep(40, '(');
    EXPECT_EQ(ParseQuery(tooDeep).error, "column 33: the query nests deeper than 32 levels");
    std::string nots;
    for (int i = 0; i < 50; ++i) nots += "NOT ";
    EXPECT_EQ(ParseQuery(nots + "a").error, "column 129: the query nests deeper than 32 levels");
    EXPECT_EQ(ParseQuery(std::string(50, '-') + "a").error,
              "column 33: the query nests deeper than 32 levels");

    std::string longest;
    while (longest.size() < kMaxQueryCharacters) longest += "a ";
    EXPECT_TRUE(ParseQuery(longest).query);
    EXPECT_EQ(ParseQuery(std::string(1'000'000, '(')).error,
              "column 1001: the query is longer than 1000 characters");
    EXPECT_EQ(ParseQuery(std::string(kMaxQueryCharacters + 1, 'a')).error,
              "column 1001: the query is longer than 1000 characters");
    // Columns count characters, not bytes.
    EXPECT_EQ(ParseQuery("\xc3\xa9\xc3\xa9 )").error, "column 4: ')' without a matching '('");
}

}  // namespace
}  // namespace velmora::search
