#include "messaging/rtf/rtf_html_extractor.h"

#include "messaging/rtf/rtf_reader.h"

namespace velmora::messaging {
namespace {

constexpr std::uint32_t kInHtmlTag = 1;

class HtmlExtractor final : public RtfReader {
  public:
    std::string Run(std::string_view rtf) {
        Walk(rtf);
        Flush();
        return std::move(html_);
    }

  protected:
    bool KeepsDestination(std::string_view word, bool starred) const override {
        if (starred) return word == "htmltag";
        return RtfReader::KeepsDestination(word, starred);
    }

    void OnWord(const RtfToken& token) override {
        if (token.word == "htmltag") {
            Flush();
            State().flags |= kInHtmlTag;
            State().suppressed = false;
        } else if (token.word == "htmlrtf") {
            if ((State().flags & kInHtmlTag) != 0) return;
            Flush();
            State().suppressed = !token.hasParam || token.param != 0;
        } else if (token.word == "par" || token.word == "line") {
            AddCodePoint('\r');
            AddCodePoint('\n');
        } else if (token.word == "tab") {
            AddCodePoint('\t');
        }
    }

    void OnGroupEnd() override { Flush(); }

  private:
    void Flush() { html_ += Characters().Take(); }

    std::string html_;
};

}  // namespace

bool IsEncapsulatedHtml(std::string_view rtf) {
    // The marker sits in the header, before the font table and any text.
    const std::string_view header = rtf.substr(0, std::min<std::size_t>(rtf.size(), 1024));
    const std::size_t found = header.find("\\fromhtml");
    if (found == std::string_view::npos) return false;
    const std::size_t fonts = header.find("\\fonttbl");
    return fonts == std::string_view::npos || found < fonts;
}

std::optional<std::string> ExtractEncapsulatedHtml(std::string_view rtf) {
    if (!IsEncapsulatedHtml(rtf)) return std::nullopt;
    return HtmlExtractor().Run(rtf);
}

}  // namespace velmora::messaging
