// HTML bodies as they go into a page: nothing runs, nothing is fetched.
#include <gtest/gtest.h>

#include "messaging/html/html_charset.h"
#include "messaging/html/html_sanitizer.h"

namespace velmora::messaging {
namespace {

std::string Body(const std::string& html) {
    const std::string page = SanitizeHtml(html);
    const std::string prefix = kContentSecurityPolicyMeta;
    EXPECT_TRUE(page.starts_with(prefix));
    return page.substr(prefix.size());
}

TEST(HtmlSanitizerTest, ActiveAndRemoteContentIsTakenOut) {
    const struct {
        const char* html;
        const char* safe;
    } cases[] = {
        {"<p>a</p><script>alert(1)</script>b", "<p>a</p>b"},
        {"<SCRIPT src=x.js></SCRIPT >c", "c"},
        {"<script>never closed", ""},
        {"<img src=\"cid:image1@x\" onerror=\"alert(1)\">", "<img src=\"cid:image1@x\">"},
        {"<img src='http://tracker/p.gif' alt=a>",
         "<img data-blocked-src=\"http://tracker/p.gif\" alt=\"a\">"},
        {"<img src=//host/p.gif>", "<img data-blocked-src=\"//host/p.gif\">"},
        {"<a href=\"jav&#x61;script:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\" JaVaScRiPt:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"https://example.org/\">x</a>", "<a href=\"https://example.org/\">x</a>"},
        {"<body background=\"http://h/b.png\" onload=go()>",
         "<body data-blocked-background=\"http://h/b.png\">"},
        {"<iframe src=\"http://h\">inner</iframe>after", "after"},
        {"<object data=x></object><embed src=y><link rel=stylesheet href=http://h/s.css>t", "t"},
        {"<meta http-equiv=\"refresh\" content=\"0;url=http://h\">t", "t"},
        {"<meta charset=\"utf-8\">", "<meta charset=\"utf-8\">"},
        {"<div style=\"background:url(http://h/x.png)\">", "<div style=\"background:none\">"},
        {"<style>@import 'http://h/a.css'; p{background:url('cid:a')}</style>",
         "<style>@blocked-import 'http://h/a.css'; p{background:url('cid:a')}</style>"},
        {"<style>p{color:red}", "<style>p{color:red}</style>"},
        {"<p>unterminated <b", "<p>unterminated "},
        {"<p title=\"open", ""},
        {"a < b && c > d", "a &lt; b && c > d"},
        {"<!-- <script>alert(1)</script> -->x<!--[if mso]>y<![endif]-->", "x"},
        {"<svg><script>alert(1)</script><a xlink:href=\"javascript:x\">k</a></svg>",
         "<svg><a>k</a></svg>"},
        {"<img src=\"data:image/png;base64,AAAA\">", "<img src=\"data:image/png;base64,AAAA\">"},
        {"<a href=\"data:text/html,<script>x</script>\">d</a>", "<a>d</a>"},
        {"<p title='say \"hi\"'>", "<p title=\"say &quot;hi&quot;\">"},
    };
    for (const auto& c : cases) EXPECT_EQ(Body(c.html), c.safe) << c.html;
}

TEST(HtmlSanitizerTest, CharsetComesFromTheDocumentOrItsBytes) {
    const struct {
        const char* html;
        const char* charset;
    } cases[] = {
        {"<meta http-equiv=Content-Type content=\"text/html; charset=iso-8859-2\">x", "iso-8859-2"},
        {"<META charset='KOI8-R'>", "koi8-r"},
        {"plain ascii", "utf-8"},
        {"caf\xC3\xA9", "utf-8"},
        {"caf\xE9", "windows-1252"},
    };
    for (const auto& c : cases) EXPECT_EQ(DetectHtmlCharset(c.html), c.charset) << c.html;
}

}  // namespace
}  // namespace velmora::messaging
