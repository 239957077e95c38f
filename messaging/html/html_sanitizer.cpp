#include "messaging/html/html_sanitizer.h"

#include <array>
#include <cctype>
#include <vector>

#include "messaging/html/html_attributes.h"

namespace velmora::messaging {
namespace {

// Elements removed with everything inside them.
constexpr std::array<std::string_view, 3> kRemovedWithContent = {"script", "iframe", "noscript"};
// Elements removed while their content stays.
constexpr std::array<std::string_view, 10> kRemovedTags = {
    "frame", "frameset", "object", "embed", "applet", "base", "link", "param", "portal", "meta"};
// Elements whose content is not markup, copied as it stands up to their end tag.
constexpr std::array<std::string_view, 6> kRawTextElements = {"style", "title",   "textarea",
                                                              "xmp",   "noembed", "noframes"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
    for (const auto entry : names) {
        if (entry == name) return true;
    }
    return false;
}

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '/';
}

std::string LowerText(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = Lower(c);
    return lower;
}

// The position of "</name" (any case) from `from`, or npos.
std::size_t FindEndTag(std::string_view html, std::size_t from, std::string_view name) {
    for (std::size_t pos = html.find("</", from); pos != std::string_view::npos;
         pos = html.find("</", pos + 2)) {
        if (LowerText(html.substr(pos + 2, name.size())) == name) return pos;
    }
    return std::string_view::npos;
}

struct StartTag {
    std::string name;
    std::vector<HtmlAttribute> attributes;
    bool selfClosing = false;
};

class Sanitizer {
  public:
    explicit Sanitizer(std::string_view html) : html_(html) {}
    std::string Run();

  private:
    void OnMarkup();
    void OnEndTag();
    void OnStartTag();
    bool ReadStartTag(StartTag& tag);
    bool ReadAttribute(HtmlAttribute& attribute);
    std::string ReadName();
    void WriteStartTag(const StartTag& tag);
    void CopyRawText(const std::string& name);
    void SkipPast(char c);

    std::string_view html_;
    std::size_t pos_ = 0;
    std::string out_;
};

std::string Sanitizer::Run() {
    out_.reserve(html_.size() + sizeof kContentSecurityPolicyMeta);
    out_ += kContentSecurityPolicyMeta;
    while (pos_ < html_.size()) {
        const std::size_t next = html_.find('<', pos_);
        const std::size_t end = next == std::string_view::npos ? html_.size() : next;
        out_.append(html_.substr(pos_, end - pos_));
        pos_ = end;
        if (pos_ < html_.size()) OnMarkup();
    }
    return std::move(out_);
}

void Sanitizer::OnMarkup() {
    const std::string_view rest = html_.substr(pos_);
    if (rest.starts_with("<!--")) {
        const std::size_t end = html_.find("-->", pos_ + 4);
        pos_ = end == std::string_view::npos ? html_.size() : end + 3;
    } else if (rest.size() > 1 && (rest[1] == '!' || rest[1] == '?')) {
        const std::size_t start = pos_;
        SkipPast('>');
        if (LowerText(html_.substr(start, 9)) == "<!doctype")
            out_.append(html_.substr(start, pos_ - start));
    } else if (rest.size() > 2 && rest[1] == '/' &&
               std::isalpha(static_cast<unsigned char>(rest[2]))) {
        OnEndTag();
    } else if (rest.size() > 1 && std::isalpha(static_cast<unsigned char>(rest[1]))) {
        OnStartTag();
    } else {
        out_ += "&lt;";
        ++pos_;
    }
}

void Sanitizer::OnEndTag() {
    pos_ += 2;
    const std::string name = ReadName();
    SkipPast('>');
    if (Contains(kRemovedTags, name) || Contains(kRemovedWithContent, name)) return;
    out_ += "</" + name + ">";
}

void Sanitizer::OnStartTag() {
    ++pos_;
    StartTag tag;
    // A tag cut off by the end of the document is left out, with the rest of it.
    if (!ReadStartTag(tag)) {
        pos_ = html_.size();
        return;
    }
    if (Contains(kRemovedWithContent, tag.name)) {
        if (tag.selfClosing && tag.name != "script") return;
        const std::size_t end = FindEndTag(html_, pos_, tag.name);
        pos_ = end == std::string_view::npos ? html_.size() : end;
        if (pos_ < html_.size()) OnEndTag();
        return;
    }
    if (Contains(kRemovedTags, tag.name)) {
        const bool charsetOnly =
            tag.name == "meta" && tag.attributes.size() == 1 && tag.attributes[0].name == "charset";
        if (!charsetOnly) return;
    }
    WriteStartTag(tag);
    if (Contains(kRawTextElements, tag.name) && !tag.selfClosing) CopyRawText(tag.name);
}

bool Sanitizer::ReadStartTag(StartTag& tag) {
    tag.name = ReadName();
    while (pos_ < html_.size()) {
        while (pos_ < html_.size() && IsSpace(html_[pos_])) {
            tag.selfClosing = html_[pos_] == '/';
            ++pos_;
        }
        if (pos_ >= html_.size()) return false;
        if (html_[pos_] == '>') {
            ++pos_;
            return true;
        }
        tag.selfClosing = false;
        HtmlAttribute attribute;
        if (!ReadAttribute(attribute)) return false;
        if (!attribute.name.empty()) tag.attributes.push_back(std::move(attribute));
    }
    return false;
}

bool Sanitizer::ReadAttribute(HtmlAttribute& attribute) {
    const std::size_t start = pos_;
    while (pos_ < html_.size() && !IsSpace(html_[pos_]) && html_[pos_] != '>' && html_[pos_] != '=')
        ++pos_;
    if (pos_ == start) ++pos_;  // a stray "=" or quote
    attribute.name = LowerText(html_.substr(start, pos_ - start));
    while (pos_ < html_.size() && IsSpace(html_[pos_]) && html_[pos_] != '/') ++pos_;
    if (pos_ >= html_.size() || html_[pos_] != '=') return pos_ <= html_.size();
    ++pos_;
    while (pos_ < html_.size() && IsSpace(html_[pos_]) && html_[pos_] != '/') ++pos_;
    if (pos_ >= html_.size()) return false;
    attribute.hasValue = true;
    const char quote = html_[pos_];
    if (quote == '"' || quote == '\'') {
        const std::size_t end = html_.find(quote, pos_ + 1);
        if (end == std::string_view::npos) return false;
        attribute.value = html_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = end + 1;
        return true;
    }
    const std::size_t valueStart = pos_;
    while (pos_ < html_.size() && !std::isspace(static_cast<unsigned char>(html_[pos_])) &&
           html_[pos_] != '>')
        ++pos_;
    attribute.value = html_.substr(valueStart, pos_ - valueStart);
    return true;
}

std::string Sanitizer::ReadName() {
    const std::size_t start = pos_;
    while (pos_ < html_.size() && !IsSpace(html_[pos_]) && html_[pos_] != '>') ++pos_;
    return LowerText(html_.substr(start, pos_ - start));
}

void AppendAttributeValue(std::string& out, std::string_view value) {
    for (const char c : value) {
        if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
}

void Sanitizer::WriteStartTag(const StartTag& tag) {
    out_ += '<' + tag.name;
    for (const HtmlAttribute& attribute : tag.attributes) {
        const AttributeAction action = ClassifyAttribute(attribute);
        if (action == AttributeAction::Drop) continue;
        out_ += ' ';
        if (action == AttributeAction::Block) out_ += "data-blocked-";
        out_ += attribute.name;
        if (!attribute.hasValue) continue;
        out_ += "=\"";
        AppendAttributeValue(
            out_, attribute.name == "style" ? NeutralizeCss(attribute.value) : attribute.value);
        out_ += '"';
    }
    out_ += tag.selfClosing ? " />" : ">";
}

void Sanitizer::CopyRawText(const std::string& name) {
    const std::size_t end = FindEndTag(html_, pos_, name);
    const std::size_t stop = end == std::string_view::npos ? html_.size() : end;
    const std::string_view content = html_.substr(pos_, stop - pos_);
    out_ += name == "style" ? NeutralizeCss(content) : std::string(content);
    pos_ = stop;
    if (end == std::string_view::npos) out_ += "</" + name + ">";
}

void Sanitizer::SkipPast(char c) {
    const std::size_t end = html_.find(c, pos_);
    pos_ = end == std::string_view::npos ? html_.size() : end + 1;
}

// True when the url( ... ) target at `from` is one of the page's own parts or inline data.
bool IsLocalCssUrl(std::string_view css, std::size_t from) {
    const std::size_t close = css.find(')', from);
    const std::string target =
        LowerText(css.substr(from, close == std::string_view::npos ? css.npos : close - from));
    const std::size_t start = target.find_first_not_of(" \t\r\n\"'");
    if (start == std::string::npos) return false;
    return target.compare(start, 4, "cid:") == 0 || target.compare(start, 5, "data:") == 0;
}

}  // namespace

std::string SanitizeHtml(std::string_view html) {
    return Sanitizer(html).Run();
}

std::string NeutralizeCss(std::string_view css) {
    const std::string lower = LowerText(css);
    std::string out;
    out.reserve(css.size());
    std::size_t pos = 0;
    while (pos < css.size()) {
        if (lower.compare(pos, 4, "url(") == 0 && !IsLocalCssUrl(css, pos + 4)) {
            const std::size_t close = css.find(')', pos);
            out += "none";
            pos = close == std::string_view::npos ? css.size() : close + 1;
        } else if (lower.compare(pos, 7, "@import") == 0) {
            out += "@blocked-import";
            pos += 7;
        } else if (css[pos] == '\\' || lower.compare(pos, 11, "expression(") == 0) {
            // CSS escapes could spell a url( this scan does not see.
            out += ' ';
            ++pos;
        } else {
            out += css[pos++];
        }
    }
    return out;
}

}  // namespace velmora::messaging
