// HTML bodies as they go into a page: nothing runs, nothing is fetched.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <string>
#include <vector>

#include "fuzz/page_elements.h"
#include "messaging/html/html_charset.h"
#include "messaging/html/html_sanitizer.h"

namespace velmora::messaging {
namespace {

// The page after its head's policy, without the document's frame around a plain body.
std::string Body(const std::string& html) {
    const std::string page = SanitizeHtml(html);
    const std::string head = std::string("<html><head>") + kContentSecurityPolicyMeta;
    const std::size_t start = page.find(head);
    EXPECT_NE(start, std::string::npos) << page;
    if (start == std::string::npos) return page;
    std::string body = page.substr(start + head.size());
    for (const std::string_view frame : {"</head><body>"})
        if (body.starts_with(frame)) body.erase(0, frame.size());
    for (const std::string_view frame : {"</body></html>\n"})
        if (body.ends_with(frame)) body.erase(body.size() - frame.size());
    return body;
}

std::string Repeated(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(HtmlSanitizerTest, ActiveAndRemoteContentIsTakenOut) {
    const struct {
        std::string html;
        std::string safe;
    } cases[] = {
        {"<p>a</p><script>alert(1)</script>b", "<p>a</p>b"},
        {"<SCRIPT src=x.js></SCRIPT >c", "c"},
        {"<script>never closed", ""},
        {"<img src=\"cid:image1@x\" onerror=\"alert(1)\">", "<img src=\"cid:image1@x\">"},
        {"<img src='http://tracker/p.gif' alt=a>",
         "<img data-blocked-src=\"http://tracker/p.gif\" alt=\"a\">"},
        {"<img src=//host/p.gif>", "<img data-blocked-src=\"//host/p.gif\">"},
        {"<a href=\"jav&#x61;script:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"&#106avascript:alert(2)\">x</a>", "<a>x</a>"},
        {"<a href=\" JaVaScRiPt:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"https://example.org/\" target=_blank>x</a>",
         "<a href=\"https://example.org/\">x</a>"},
        {"<body background=\"http://h/b.png\" onload=go()>",
         "</head><body data-blocked-background=\"http://h/b.png\">"},
        {"<iframe src=\"http://h\">inner</iframe>after", "after"},
        {"<object data=x></object><embed src=y><link rel=stylesheet href=http://h/s.css>t", "t"},
        {"<meta http-equiv=\"refresh\" content=\"0;url=http://h\">t", "t"},
        {"<meta charset=\"utf-8\">", "<meta charset=\"utf-8\"></head><body>"},
        {"<div style=\"background:url(http://h/x.png)\">", "<div style=\"background:none\"></div>"},
        {"<style>@import 'http://h/a.css'; p{background:url('cid:a')}</style>",
         "<style>@blocked-import 'http://h/a.css'; "
         "p{background:url('cid:a')}</style></head><body>"},
        {"<p style='background:image-set(\"http://h/x.png\" 1x)'>",
         "<p style=\"background:blocked-image-set(&quot;http://h/x.png&quot; 1x)\"></p>"},
        {"<style>p{color:red}", "<style>p{color:red}</style></head><body>"},
        {"<p>unterminated <b", "<p>unterminated </p>"},
        {"<p title=\"open", ""},
        {"a < b && c > d", "a &lt; b &amp;&amp; c &gt; d"},
        {"<!-- <script>alert(1)</script> -->x<!--[if mso]>y<![endif]-->", "x"},
        {"<svg><script>alert(1)</script><a xlink:href=\"javascript:x\">k</a></svg>", "<svg></svg>"},
        {"<svg viewBox=\"0 0 2 2\"><path d=\"M0 0L2 2\"/><image href=\"http://h/x\"/></svg>",
         "<svg viewbox=\"0 0 2 2\"><path d=\"M0 0L2 2\"/><image data-blocked-href=\"http://h/x\"/>"
         "</svg>"},
        {"<svg><style><img src=x onerror=alert(1)></style></svg>",
         "<svg></svg><img data-blocked-src=\"x\">"},
        {"<img src=\"data:image/png;base64,AAAA\">", "<img src=\"data:image/png;base64,AAAA\">"},
        {"<img src=\"data:text/html,x\">", "<img data-blocked-src=\"data:text/html,x\">"},
        {"<a href=\"data:text/html,<script>x</script>\">d</a>", "<a>d</a>"},
        {"<p title='say \"hi\" <b>'>", "<p title=\"say &quot;hi&quot; &lt;b&gt;\"></p>"},
        {"<form action=http://h><input name=q><button>go</button></form>", "go"},
        {"<math><mi>x</mi><mtext><img src=x onerror=alert(1)></mtext></math>", "x"},
        // The body's own bytes stay as they are; characters named by references become references.
        {"caf\xE9 &eacute; &#8364;", "caf\xE9 &#xe9; &#x20ac;"},
    };
    for (const auto& c : cases) EXPECT_EQ(Body(c.html), c.safe) << c.html;
}

// ---- What a browser would build from the page: nothing active, nothing remote.

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    text.erase(std::remove_if(text.begin(), text.end(), [](unsigned char c) { return c <= 0x20; }),
               text.end());
    return text;
}

// Why a piece of CSS could fetch or run something, or "" when it cannot.
std::string CssFault(const std::string& css) {
    const std::string lower = Lower(css);
    // A function renamed "blocked-..." is unknown to the browser, and its declaration void.
    for (const std::string needle :
         {"image-set(", "image(", "@import", "expression(", "\\", "cross-fade(", "src("}) {
        for (std::size_t pos = lower.find(needle); pos != std::string::npos;
             pos = lower.find(needle, pos + 1)) {
            if (pos < 8 || lower.compare(pos - 8, 8, "blocked-") != 0) return "css " + needle;
        }
    }
    for (std::size_t pos = lower.find("url("); pos != std::string::npos;
         pos = lower.find("url(", pos + 1)) {
        const std::string target =
            lower.substr(pos + 4 + (lower[pos + 4] == '"' || lower[pos + 4] == '\''));
        if (!target.starts_with("cid:") && !target.starts_with("data:image/"))
            return "css url " + target.substr(0, 40);
    }
    return {};
}

// Why a URL attribute could run or fetch something, or "" when it cannot.
std::string UrlFault(const std::string& element, const std::string& name,
                     const std::string& value) {
    const std::string url = Lower(value);
    const bool link = name == "href" && (element == "a" || element == "area");
    if (url.empty() || url.starts_with('#') || url.starts_with("cid:") ||
        url.starts_with("data:image/"))
        return {};
    const std::size_t colon = url.find(':');
    const std::string scheme = colon == std::string::npos ? "" : url.substr(0, colon);
    if (link && scheme != "javascript" && scheme != "vbscript" && scheme != "data") return {};
    return element + " " + name + "=" + value;
}

const std::vector<std::string_view> kActiveElements = {
    "script", "iframe",        "frame",    "frameset", "object",   "embed",  "applet", "base",
    "link",   "form",          "input",    "button",   "textarea", "select", "portal", "animate",
    "set",    "foreignobject", "template", "noscript", "audio",    "video",  "source"};
const std::vector<std::string_view> kUrlAttributes = {
    "src",    "href",   "background", "poster", "srcset",   "action", "formaction", "data",
    "lowsrc", "dynsrc", "codebase",   "cite",   "longdesc", "usemap", "ping",       "srcdoc"};

// Every fault of the page as parsed again; a policy first in the head is required.
std::vector<std::string> Faults(const std::string& page) {
    std::vector<std::string> faults;
    bool policyFirst = false;
    fuzz::VisitPageElements(page, [&](const GumboNode& node) {
        const GumboElement& element = node.v.element;
        GumboStringPiece piece = element.original_tag;
        gumbo_tag_from_original_text(&piece);
        const std::string name = element.tag == GUMBO_TAG_UNKNOWN
                                     ? Lower(std::string(piece.data, piece.length))
                                     : gumbo_normalized_tagname(element.tag);
        if (std::find(kActiveElements.begin(), kActiveElements.end(), name) !=
            kActiveElements.end())
            faults.push_back("element " + name);
        std::string httpEquiv;
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
            const std::string attributeName = Lower(attribute->name);
            if (attributeName.starts_with("on")) faults.push_back("event " + attributeName);
            if (attributeName == "http-equiv") httpEquiv = Lower(attribute->value);
            if (attributeName == "style" || element.tag_namespace == GUMBO_NAMESPACE_SVG) {
                const std::string fault = CssFault(attribute->value);
                if (!fault.empty() && attributeName != "href") faults.push_back(fault);
            }
            if (std::find(kUrlAttributes.begin(), kUrlAttributes.end(), attributeName) !=
                kUrlAttributes.end()) {
                const std::string fault = UrlFault(name, attributeName, attribute->value);
                if (!fault.empty()) faults.push_back(fault);
            }
        }
        if (name == "meta" && !httpEquiv.empty()) {
            const bool first = node.parent != nullptr &&
                               node.parent->v.element.tag == GUMBO_TAG_HEAD &&
                               node.index_within_parent == 0;
            if (httpEquiv == "content-security-policy" && first)
                policyFirst = true;
            else
                faults.push_back("meta http-equiv=" + httpEquiv);
        }
        for (unsigned i = 0; i < element.children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
            if (name == "style" && child->type == GUMBO_NODE_TEXT) {
                const std::string fault = CssFault(child->v.text.text);
                if (!fault.empty()) faults.push_back(fault);
            }
        }
    });
    if (!policyFirst) faults.push_back("no policy first in the head");
    return faults;
}

constexpr char kNullBytes[] =
    "<scr\0ipt>alert(1)</script><a href=\"java\0script:x\" o\0nclick=y>n</a>";

TEST(HtmlSanitizerTest, HostilePagesComeOutInertAndKeepTheirText) {
    const struct {
        std::string name;
        std::string html;
        std::string visible;  // text that must still be shown
    } cases[] = {
        {"reference without a semicolon", "<a href=\"&#106avascript:alert(2)\">link</a>", "link"},
        {"references spelling the scheme", "<a href=\"&#x6A;&#97;vascript&colon;alert(1)\">l</a>",
         "l"},
        {"blank inside the scheme",
         "<a href=\"jav&#x09;ascript:alert(1)\">t</a><a href=\"java\nscript:x\">u</a>", "t"},
        {"mixed case", "<ScRiPt>alert(1)</sCrIpT><IMG SRC=JaVaScRiPt:alert(1) OnErRoR=x>", ""},
        {"null bytes", std::string(kNullBytes, sizeof kNullBytes - 1), "n"},
        {"comment inside a tag", "<img src=x <!-- onerror=alert(1) -->>", ""},
        {"unclosed tags", "<b><i>text<img src=http://h/x onerror=alert(1", "text"},
        {"nested forms",
         "<form action=http://h><form><button "
         "formaction=javascript:alert(1)>go</button></form></form>",
         "go"},
        {"base", "<base href=\"http://h/\"><img src=a.png>", ""},
        {"meta refresh", "<meta http-equiv=refresh content=\"0;url=javascript:alert(1)\">m", "m"},
        {"sender's own policy",
         "<meta http-equiv=Content-Security-Policy content=\"default-src *\">", ""},
        {"svg image", "<svg><image href=\"http://host/x\"/><image xlink:href=\"//host/y\"/></svg>",
         ""},
        {"svg use and paint",
         "<svg><use href=\"http://h/s.svg#a\"/><rect fill=\"url(http://h/p#g)\"/></svg>", ""},
        {"svg style breakout", "<svg><style><img src=x onerror=alert(1)></style></svg>", ""},
        {"svg animation",
         "<svg><a><animate attributeName=href values=javascript:alert(1) "
         "/><text>t</text></a></svg>",
         ""},
        {"svg foreign object",
         "<svg><foreignObject><iframe src=http://h></iframe></foreignObject></svg>", ""},
        {"mathml breakout", "<math><mtext><table><mglyph><style><img src=x onerror=alert(1)>", ""},
        {"noscript breakout", "<noscript><p title=\"</noscript><img src=x onerror=alert(1)>\">",
         ""},
        {"css image-set", "<p style='background:image-set(\"http://h/x.png\" 1x)'>t</p>", "t"},
        {"css in a sheet",
         "<style>@import \"http://h/a.css\";p{background:-webkit-image-set('//h/a' 1x)}"
         "q{background:url( 'http://h/q' )}</style>",
         ""},
        {"css escapes and references",
         "<p style=\"background:\\75rl(http://h/x);x:&#117;rl(//h/y)\">", ""},
        {"css expression", "<p style=\"width:expression(alert(1))\">", ""},
        {"srcset with a remote candidate", "<img srcset=\"cid:a 1x, http://h/b 2x\">", ""},
        {"data pages",
         "<a href=\"data:text/html;base64,PHNjcmlwdD4=\">d</a><img src=\"data:text/html,x\">", "d"},
        {"frames and plugins",
         "<iframe srcdoc=\"<script>alert(1)</script>\"></iframe><object data=http://h/x></object>"
         "<embed src=http://h/y><frameset><frame src=http://h/z></frameset>",
         ""},
        {"media", "<video poster=http://h/p.png><source src=http://h/v.mp4></video>", ""},
        {"backgrounds",
         "<body background=http://h/b.png><table background=\"//h/b\"><tr><td>c</table>", "c"},
        {"raw text breakouts",
         "<textarea></textarea><script>alert(1)</script></textarea><title></title><img src=x "
         "onerror=y>",
         ""},
        {"deep divs", Repeated("<div>", 100000) + "deep", "deep"},
        {"deep tables", Repeated("<table><td>", 50000) + "cell", "cell"},
        {"deep drawing", "<svg>" + Repeated("<g>", 50000) + "</svg>after", "after"},
        {"deep reopened formatting",
         "<p>" + Repeated("<b id=x>", 5000) + "</p>" + Repeated("<p>again</p>", 2000), "again"},
        {"deep forms and phrases", Repeated("<form><span><div></form>", 30000) + "end", "end"},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const std::string page = SanitizeHtml(c.html);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_LT(elapsed, std::chrono::seconds(10)) << c.name << " (a hang, not a figure)";
        for (const std::string& fault : Faults(page)) ADD_FAILURE() << c.name << ": " << fault;
        EXPECT_NE(page.find(c.visible), std::string::npos) << c.name;
    }
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
