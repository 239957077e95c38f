#include "messaging/html/html_nesting.h"

#include <algorithm>
#include <vector>

#include "messaging/html/html_names.h"

namespace velmora::messaging {
namespace {

// Elements that never stay open, or that the parser keeps once (html, head, body).
constexpr std::string_view kNeverOpen[] = {
    "area",   "base",  "basefont", "bgsound", "br",     "col",  "embed", "frame",
    "hr",     "image", "img",      "input",   "keygen", "link", "meta",  "param",
    "source", "track", "wbr",      "html",    "head",   "body"};
// Elements the parser closes by itself when a sibling opens; they only nest
// through an element counted here. In SVG and MathML they nest freely.
constexpr std::string_view kClosedBySiblings[] = {
    "p",     "li",    "dt",    "dd",       "option",  "optgroup", "tr", "td", "th",
    "tbody", "thead", "tfoot", "colgroup", "caption", "rb",       "rt", "rp"};
// Elements whose content is text up to their end tag (in HTML; markup in SVG).
constexpr std::string_view kRawText[] = {"script", "style",   "textarea", "title",   "xmp",
                                         "iframe", "noembed", "noframes", "noscript"};
// Elements an end tag of an element further down does not close past.
constexpr std::string_view kScopeBoundaries[] = {
    "html", "table", "template", "object", "applet",        "marquee", "caption",
    "td",   "th",    "svg",      "math",   "foreignobject", "desc",    "mi",
    "mo",   "mn",    "ms",       "mtext",  "annotation-xml"};
// Elements that an end tag of an ordinary (phrase or unknown) element does not close past.
constexpr std::string_view kStructural[] = {
    "address", "applet",  "article", "aside",    "blockquote", "button",   "caption",  "center",
    "dd",      "details", "dir",     "div",      "dl",         "dt",       "fieldset", "figcaption",
    "figure",  "footer",  "form",    "frameset", "h1",         "h2",       "h3",       "h4",
    "h5",      "h6",      "header",  "hgroup",   "html",       "li",       "listing",  "main",
    "marquee", "menu",    "nav",     "object",   "ol",         "p",        "pre",      "section",
    "select",  "summary", "table",   "tbody",    "td",         "template", "tfoot",    "th",
    "thead",   "tr",      "ul",      "svg"};

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsTagSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix) {
    if (text.size() - std::min(at, text.size()) < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[at + i]) != prefix[i]) return false;
    }
    return true;
}

class NestingBound {
  public:
    NestingBound(std::string_view html, std::size_t maxDepth)
        : html_(html),
          maxDepth_(maxDepth),
          foreign_(Find("<svg", 0) != html.npos || Find("<math", 0) != html.npos) {}

    std::string Run();

  private:
    std::size_t Find(std::string_view lowerNeedle, std::size_t from) const;
    // The end of the tag whose name starts at `pos` (past its ">"), or npos when the input ends
    // first.
    std::size_t TagEnd(std::size_t pos, std::string& name) const;
    std::size_t CommentEnd(std::size_t pos) const;
    std::size_t OnStartTag(std::size_t lt, bool inRawText);
    void OnEndTag(const std::string& name);
    std::size_t SkipRawText(std::size_t from, const std::string& name);
    void Drop(std::size_t from, std::size_t to);

    std::string_view html_;
    std::size_t maxDepth_;
    bool foreign_;
    // Past a script or a frameset the parser's idea of what is open differs
    // too much from this scan's, so closing tags no longer count.
    bool closingCounts_ = true;
    std::size_t cdataEnd_ = 0;  // closing tags before this offset sit in character data
    struct OpenElement {
        std::string name;
        bool boundary;    // in kScopeBoundaries
        bool structural;  // in kStructural
    };
    std::vector<OpenElement> open_;
    std::string out_;
    std::size_t copied_ = 0;
};

std::size_t NestingBound::Find(std::string_view lowerNeedle, std::size_t from) const {
    for (std::size_t pos = html_.find('<', from); pos != html_.npos;
         pos = html_.find('<', pos + 1)) {
        if (StartsWithNoCase(html_, pos, lowerNeedle)) return pos;
    }
    return html_.npos;
}

std::size_t NestingBound::TagEnd(std::size_t pos, std::string& name) const {
    while (pos < html_.size() && !IsTagSpace(html_[pos]) && html_[pos] != '/' && html_[pos] != '>')
        name += AsciiLower(html_[pos++]);
    while (pos < html_.size()) {
        const char c = html_[pos];
        if (c == '>') return pos + 1;
        if (IsTagSpace(c) || c == '/') {
            ++pos;
            continue;
        }
        // An attribute name (a leading "=" belongs to it), then perhaps a value.
        ++pos;
        while (pos < html_.size() && !IsTagSpace(html_[pos]) && html_[pos] != '/' &&
               html_[pos] != '>' && html_[pos] != '=')
            ++pos;
        while (pos < html_.size() && IsTagSpace(html_[pos])) ++pos;
        if (pos >= html_.size() || html_[pos] != '=') continue;
        ++pos;
        while (pos < html_.size() && IsTagSpace(html_[pos])) ++pos;
        if (pos >= html_.size()) break;
        if (html_[pos] == '"' || html_[pos] == '\'') {
            const std::size_t close = html_.find(html_[pos], pos + 1);
            if (close == html_.npos) break;
            pos = close + 1;
        } else {
            while (pos < html_.size() && !IsTagSpace(html_[pos]) && html_[pos] != '>') ++pos;
        }
    }
    return html_.npos;
}

// `pos` is at "<!--".
std::size_t NestingBound::CommentEnd(std::size_t pos) const {
    if (StartsWithNoCase(html_, pos, "<!-->")) return pos + 5;
    if (StartsWithNoCase(html_, pos, "<!--->")) return pos + 6;
    for (std::size_t dash = html_.find("--", pos + 4); dash != html_.npos;
         dash = html_.find("--", dash + 1)) {
        if (StartsWithNoCase(html_, dash, "-->")) return dash + 3;
        if (StartsWithNoCase(html_, dash, "--!>")) return dash + 4;
    }
    return html_.size();
}

void NestingBound::Drop(std::size_t from, std::size_t to) {
    out_.append(html_.substr(copied_, from - copied_));
    copied_ = to;
}

std::size_t NestingBound::OnStartTag(std::size_t lt, bool inRawText) {
    std::string name;
    const std::size_t end = TagEnd(lt + 1, name);
    if (end == html_.npos) return html_.size();
    if (name == "script" || name == "frameset") closingCounts_ = false;
    if (!inRawText && Contains(kRawText, name)) return SkipRawText(end, name);
    if (name == "plaintext") return html_.size();
    if (Contains(kNeverOpen, name) || (!foreign_ && Contains(kClosedBySiblings, name))) return end;
    if (open_.size() >= maxDepth_)
        Drop(lt, end);
    else
        open_.push_back({name, Contains(kScopeBoundaries, name), Contains(kStructural, name)});
    return end;
}

void NestingBound::OnEndTag(const std::string& name) {
    if (!closingCounts_ || Contains(kNeverOpen, name)) return;
    const bool structural = Contains(kStructural, name);
    for (std::size_t i = open_.size(); i-- > 0;) {
        if (open_[i].name == name) {
            // A closed form leaves what was opened inside it open.
            if (name == "form")
                open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(i));
            else
                open_.resize(i);
            return;
        }
        if (open_[i].boundary || (!structural && open_[i].structural)) return;
    }
}

// Text up to "</name"; start tags inside still count (in SVG they are markup),
// closing tags do not.
std::size_t NestingBound::SkipRawText(std::size_t from, const std::string& name) {
    const std::string close = "</" + name;
    std::size_t stop = html_.size();
    for (std::size_t pos = Find(close, from); pos != html_.npos; pos = Find(close, pos + 1)) {
        const std::size_t after = pos + close.size();
        if (after >= html_.size() || IsTagSpace(html_[after]) || html_[after] == '/' ||
            html_[after] == '>') {
            stop = pos;
            break;
        }
    }
    // A tag read past the end of the text is resumed after, not read again.
    std::size_t resume = stop;
    for (std::size_t pos = html_.find('<', from); pos < stop; pos = html_.find('<', pos + 1)) {
        if (pos + 1 < stop && IsAsciiLetter(html_[pos + 1])) {
            const std::size_t end = OnStartTag(pos, true);
            resume = std::max(resume, end);
            pos = end - 1;
        }
    }
    return resume;
}

std::string NestingBound::Run() {
    std::size_t pos = html_.find('<');
    while (pos < html_.size()) {
        const std::size_t next = pos + 1 < html_.size() ? pos + 1 : pos;
        if (StartsWithNoCase(html_, pos, "<!--")) {
            pos = CommentEnd(pos);
        } else if (StartsWithNoCase(html_, pos, "<![cdata[")) {
            const std::size_t close = html_.find("]]>", pos);
            cdataEnd_ = close == html_.npos ? html_.size() : close;
            pos += 9;
        } else if (html_[next] == '!' || html_[next] == '?') {
            const std::size_t close = html_.find('>', pos);
            pos = close == html_.npos ? html_.size() : close + 1;
        } else if (html_[next] == '/' && pos + 2 < html_.size() && IsAsciiLetter(html_[pos + 2])) {
            std::string name;
            const std::size_t end = TagEnd(pos + 2, name);
            if (pos >= cdataEnd_) OnEndTag(name);
            pos = end;
        } else if (IsAsciiLetter(html_[next]) && next != pos) {
            pos = OnStartTag(pos, false);
        } else {
            ++pos;
        }
        if (pos < html_.size()) pos = html_.find('<', pos);
    }
    if (copied_ == 0) return std::string(html_);
    out_.append(html_.substr(copied_));
    return std::move(out_);
}

}  // namespace

std::string BoundNesting(std::string_view html, std::size_t maxDepth) {
    return NestingBound(html, maxDepth).Run();
}

}  // namespace velmora::messaging
