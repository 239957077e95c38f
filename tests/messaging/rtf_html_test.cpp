// RTF bodies as HTML: the HTML an RTF body carries, and RTF shown as simple HTML.
#include <gtest/gtest.h>

#include "messaging/rtf/rtf_html_extractor.h"
#include "messaging/rtf/rtf_to_html.h"

namespace velmora::messaging {
namespace {

TEST(RtfHtmlTest, EncapsulatedHtmlComesOutAsItWasStored) {
    const struct {
        const char* rtf;
        const char* html;
    } cases[] = {
        {R"({\rtf1\ansi\fromhtml1 {\fonttbl{\f0 Arial;}}{\*\htmltag64 <p>}Hello{\*\htmltag72 </p>}})",
         "<p>Hello</p>"},
        {R"({\rtf1\fromhtml1{\*\htmltag <b>}x\htmlrtf {\b rtf only}\htmlrtf0 y{\*\htmltag </b>}})",
         "<b>xy</b>"},
        {R"({\rtf1\fromhtml1{\*\htmltag <i>}a\par b{\*\htmltag </i>}})", "<i>a\r\nb</i>"},
        {R"({\rtf1\ansi\ansicpg1251\fromhtml1 \'cf\'f0\u1074?!})", "\xD0\x9F\xD1\x80\xD0\xB2!"},
        {R"({\rtf1\fromhtml1{\*\htmltag <p title="\{x\}">}t\tab u})", "<p title=\"{x}\">t\tu"},
        {R"({\rtf1\fromhtml1{\*\mhtmltag cid:x}{\*\htmltag84 <img src="cid:x">}})",
         "<img src=\"cid:x\">"},
        {R"({\rtf1\fromhtml1{\*\htmltag <p>}unterminated{{{)", "<p>unterminated"},
    };
    for (const auto& c : cases) {
        const auto html = ExtractEncapsulatedHtml(c.rtf);
        ASSERT_TRUE(html.has_value()) << c.rtf;
        EXPECT_EQ(*html, c.html) << c.rtf;
    }
}

TEST(RtfHtmlTest, RtfWithoutHtmlIsNotEncapsulated) {
    EXPECT_FALSE(ExtractEncapsulatedHtml(R"({\rtf1\ansi{\fonttbl{\f0 x;}}\fromhtml1 text})"));
    EXPECT_FALSE(ExtractEncapsulatedHtml(R"({\rtf1\ansi\fromtext text})"));
}

TEST(RtfHtmlTest, RtfBecomesSimpleHtml) {
    const struct {
        const char* rtf;
        const char* html;
    } cases[] = {
        {R"({\rtf1 one\par two})", "<div>one</div>\n<div>two</div>\n"},
        {R"({\rtf1 a\line b})", "<div>a<br>b</div>\n"},
        {R"({\rtf1 {\b bold} {\i it}\ul u\ulnone  n})",
         "<div><b>bold</b> <i>it</i><u>u</u> n</div>\n"},
        {R"({\rtf1 \b x\b0 y\plain z})", "<div><b>x</b>yz</div>\n"},
        {R"({\rtf1 1 < 2 & "3"})", "<div>1 &lt; 2 &amp; &quot;3&quot;</div>\n"},
        {R"({\rtf1\ansi\ansicpg1252 caf\'e9 \u8364? \uc0\u8364 x})",
         "<div>caf\xC3\xA9 \xE2\x82\xAC \xE2\x82\xACx</div>\n"},
        {R"({\rtf1\ansicpg1251 \'e4\'e0})", "<div>\xD0\xB4\xD0\xB0</div>\n"},
        {R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red0;}{\*\unknown hidden}{\info{\title t}}shown})",
         "<div>shown</div>\n"},
        {R"({\rtf1 {\pict\wmetafile8 0102}{\*\shppict x}after})", "<div>after</div>\n"},
        {R"({\rtf1 \trowd\cellx1\intbl a\cell b\cell\row\pard after})",
         "<table>\n<tr><td>a</td><td>b</td></tr>\n</table>\n<div>after</div>\n"},
        {R"({\rtf1 \par\par x})", "<div><br></div>\n<div><br></div>\n<div>x</div>\n"},
        {R"({\rtf1 {\b broken )", "<div><b>broken </b></div>\n"},
        {R"(}}} stray {\b x}}}})", "<div> stray <b>x</b></div>\n"},
        {R"({\rtf1 \bin3 {{{after})", "<div>after</div>\n"},
        {"not rtf at all", "<div>not rtf at all</div>\n"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RtfToSimpleHtml(c.rtf), c.html) << c.rtf;
    }
}

TEST(RtfHtmlTest, DeepNestingDoesNotExhaustTheStack) {
    const std::string deep =
        "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "}";
    EXPECT_EQ(RtfToSimpleHtml(deep), "<div>x</div>\n");
    EXPECT_TRUE(ExtractEncapsulatedHtml("{\\rtf1\\fromhtml1 " + std::string(100000, '{') + "y")
                    .has_value());
}

}  // namespace
}  // namespace velmora::messaging
