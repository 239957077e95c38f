#include "messaging/html/named_resources.h"

#include "messaging/html/html_attributes.h"
#include "messaging/html/html_names.h"

namespace velmora::messaging {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Walks the start tags of a page and rewrites the attribute values that name
// a part. Only what it rewrites is changed; the page is made safe afterwards
// as a whole, so markup this walk reads differently is at worst left unresolved.
class Resolver {
  public:
    Resolver(std::string_view html, const PartsByName& parts, std::set<std::string>& used)
        : html_(html), parts_(parts), used_(used) {}

    std::string Run() {
        while (pos_ < html_.size()) {
            const std::size_t open = html_.find('<', pos_);
            if (open == std::string_view::npos) break;
            pos_ = open + 1;
            if (html_.substr(open).starts_with("<!--")) {
                const std::size_t end = html_.find("-->", open + 4);
                pos_ = end == std::string_view::npos ? html_.size() : end + 3;
            } else if (pos_ < html_.size() && IsLetter(html_[pos_])) {
                ReadTag();
            }
        }
        out_.append(html_.substr(copied_));
        return std::move(out_);
    }

  private:
    bool AtEnd() const { return pos_ >= html_.size(); }
    char Current() const { return html_[pos_]; }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(Current())) ++pos_;
    }
    bool EndsName(char c) const { return IsBlank(c) || c == '>' || c == '=' || c == '/'; }

    void ReadTag() {
        while (!AtEnd() && !EndsName(Current())) ++pos_;
        while (!AtEnd() && Current() != '>') {
            if (IsBlank(Current()) || Current() == '/' || Current() == '=') {
                ++pos_;
                continue;
            }
            const std::size_t nameStart = pos_;
            while (!AtEnd() && !EndsName(Current())) ++pos_;
            HtmlAttribute attribute;
            attribute.name = AsciiLower(html_.substr(nameStart, pos_ - nameStart));
            SkipBlanks();
            if (AtEnd() || Current() != '=') continue;
            ++pos_;
            SkipBlanks();
            if (AtEnd()) return;
            ReadValue(attribute);
        }
    }

    void ReadValue(HtmlAttribute& attribute) {
        std::size_t start = pos_, end = pos_;
        const char quote = Current();
        if (quote == '"' || quote == '\'') {
            start = pos_ + 1;
            end = html_.find(quote, start);
            if (end == std::string_view::npos) {
                pos_ = html_.size();
                return;
            }
            pos_ = end + 1;
        } else {
            while (!AtEnd() && !IsBlank(Current()) && Current() != '>') ++pos_;
            end = pos_;
        }
        attribute.value = html_.substr(start, end - start);
        attribute.hasValue = true;
        // Only a URL the page would load from outside is resolved; cid:,
        // data: and links stay as written.
        if (ClassifyAttribute(attribute) != AttributeAction::Block) return;
        const auto part = parts_.find(AsciiLower(Trimmed(attribute.value)));
        if (part == parts_.end()) return;
        used_.insert(part->first);
        out_.append(html_.substr(copied_, start - copied_));
        out_ += "cid:" + part->second;
        copied_ = end;
    }

    std::string_view html_;
    const PartsByName& parts_;
    std::set<std::string>& used_;
    std::size_t pos_ = 0;
    std::size_t copied_ = 0;
    std::string out_;
};

}  // namespace

std::string ResolveNamedResources(std::string_view html, const PartsByName& parts,
                                  std::set<std::string>& used) {
    if (parts.empty()) return std::string(html);
    return Resolver(html, parts, used).Run();
}

}  // namespace velmora::messaging
