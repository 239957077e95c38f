// The words the index keeps and a query names: whole, lower-cased, and with
// their accents taken off as a second form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/data/search_index/index_words.h"
#include "viewer/data/search_index/message_text.h"

namespace velmora::search {
namespace {

std::vector<std::string> Forms(const std::string& text) {
    std::vector<std::string> forms;
    ForEachWord(text, [&](const IndexWord& word) {
        forms.push_back(word.exact == word.plain ? word.exact : word.exact + "|" + word.plain);
    });
    return forms;
}

TEST(IndexWordsTest, WordsAreWholeLowerCasedAndKeepAPlainForm) {
    const struct {
        std::string text;
        std::vector<std::string> words;
    } cases[] = {
        {"Contract RENEWAL, 2009!", {"contract", "renewal", "2009"}},
        {"alice.martin@example.com", {"alice", "martin", "example", "com"}},
        {"Caf\xc3\xa9 \xc3\x89MILE", {"caf\xc3\xa9|cafe", "\xc3\xa9mile|emile"}},
        // Decomposed accents: the mark stays in the exact form only.
        {"Cafe\xcc\x81", {"cafe\xcc\x81|cafe"}},
        {"\xc5\x81\xc3\xb3"
         "d\xc5\xba stra\xc3\x9f"
         "e",
         {"\xc5\x82\xc3\xb3"
          "d\xc5\xba|lodz",
          "stra\xc3\x9f"
          "e"}},
        {"\xce\x86\xce\xb8\xce\xae\xce\xbd\xce\xb1",
         {"\xce\xac\xce\xb8\xce\xae\xce\xbd\xce\xb1|\xce\xb1\xce\xb8\xce\xb7\xce\xbd\xce\xb1"}},
        {"\xe9\x87\x87\xe8\xb4\xad\xe6\x88\x90\xe6\x9c\xac\xef\xbc\x9f",
         {"\xe9\x87\x87\xe8\xb4\xad\xe6\x88\x90\xe6\x9c\xac"}},
        {std::string(kMaxWordBytes, 'x') + " " + std::string(kMaxWordBytes + 1, 'y') + " z",
         {std::string(kMaxWordBytes, 'x'), "z"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Forms(c.text), c.words) << c.text;
}

std::string HtmlWords(const std::string& html) {
    std::string words;
    ForEachWord(HtmlText(html),
                [&](const IndexWord& word) { words += (words.empty() ? "" : " ") + word.exact; });
    return words;
}

TEST(IndexWordsTest, HtmlTextIsWhatAReaderSees) {
    std::string deep;
    for (int i = 0; i < 200'000; ++i) deep += "<span>";
    const struct {
        std::string html;
        std::string words;
    } cases[] = {
        {"<p>Meet at the <b>caf</b>e</p><p>near</p>", "meet at the cafe near"},
        {"<html><head><title>T</title><style>p{x:y}</style></head><body>a<script>hidden()"
         "</script><!-- note -->b</body></html>",
         "ab"},
        {"<div>one</div><div>two</div>", "one two"},
        {"<p>caf&eacute; &amp; cr&#232;me</p>", "caf\xc3\xa9 cr\xc3\xa8me"},
        // Nested deeper than any call stack would go.
        {deep + "deep", "deep"},
    };
    for (const auto& c : cases) EXPECT_EQ(HtmlWords(c.html), c.words) << c.html.substr(0, 80);
}

}  // namespace
}  // namespace velmora::search
