#include "messaging/rtf/rtf_to_html.h"

#include "messaging/html/html_text.h"
#include "messaging/rtf/rtf_reader.h"

namespace velmora::messaging {
namespace {

constexpr std::uint32_t kBold = 1;
constexpr std::uint32_t kItalic = 2;
constexpr std::uint32_t kUnderline = 4;
constexpr std::uint32_t kInTable = 8;
constexpr std::uint32_t kFormatMask = kBold | kItalic | kUnderline;

class SimpleHtmlWriter final : public RtfReader {
  public:
    std::string Run(std::string_view rtf) {
        Walk(rtf);
        FlushText();
        CloseParagraph();
        CloseTable();
        return std::move(html_);
    }

  protected:
    void OnWord(const RtfToken& token) override;
    void OnGroupEnd() override { FlushText(); }

  private:
    void SetFlag(std::uint32_t flag, bool on);
    void FlushText();
    void SyncFormat(std::uint32_t wanted);
    void OpenBlock();
    void CloseParagraph();
    void EndParagraph();
    void EndCell();
    void EndRow();
    void CloseTable();

    std::string html_;
    std::uint32_t openFormat_ = 0;
    bool inParagraph_ = false;
    bool paragraphHasText_ = false;
    bool inTable_ = false;
    bool inRow_ = false;
    bool inCell_ = false;
};

bool IsOn(const RtfToken& token) {
    return !token.hasParam || token.param != 0;
}

void SimpleHtmlWriter::OnWord(const RtfToken& token) {
    const std::string_view w = token.word;
    if (w == "b") return SetFlag(kBold, IsOn(token));
    if (w == "i") return SetFlag(kItalic, IsOn(token));
    if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash")
        return SetFlag(kUnderline, IsOn(token));
    if (w == "ulnone") return SetFlag(kUnderline, false);
    if (w == "plain") return SetFlag(kFormatMask, false);
    if (w == "intbl") return SetFlag(kInTable, true);
    if (w == "pard") return SetFlag(kInTable, false);
    if (w == "tab") return AddCodePoint('\t');
    FlushText();
    if (w == "par") return EndParagraph();
    if (w == "line") {
        OpenBlock();
        SyncFormat(0);
        html_ += "<br>";
        paragraphHasText_ = true;
    } else if (w == "cell") {
        EndCell();
    } else if (w == "row") {
        EndRow();
    }
}

void SimpleHtmlWriter::SetFlag(std::uint32_t flag, bool on) {
    FlushText();
    State().flags = on ? State().flags | flag : State().flags & ~flag;
}

void SimpleHtmlWriter::FlushText() {
    if (Characters().Empty()) return;
    const std::string text = Characters().Take();
    if (text.empty()) return;
    OpenBlock();
    SyncFormat(State().flags & kFormatMask);
    AppendEscapedText(html_, text);
    paragraphHasText_ = true;
}

void SimpleHtmlWriter::SyncFormat(std::uint32_t wanted) {
    if (wanted == openFormat_) return;
    if (openFormat_ & kUnderline) html_ += "</u>";
    if (openFormat_ & kItalic) html_ += "</i>";
    if (openFormat_ & kBold) html_ += "</b>";
    if (wanted & kBold) html_ += "<b>";
    if (wanted & kItalic) html_ += "<i>";
    if (wanted & kUnderline) html_ += "<u>";
    openFormat_ = wanted;
}

// Opens what the next content goes into: a cell when the paragraph is in a table, else a paragraph.
void SimpleHtmlWriter::OpenBlock() {
    if (State().flags & kInTable) {
        if (inParagraph_) CloseParagraph();
        if (!inTable_) html_ += "<table>\n";
        if (!inRow_) html_ += "<tr>";
        if (!inCell_) html_ += "<td>";
        inTable_ = inRow_ = inCell_ = true;
        return;
    }
    if (inTable_) CloseTable();
    if (!inParagraph_) html_ += "<div>";
    inParagraph_ = true;
}

void SimpleHtmlWriter::CloseParagraph() {
    if (!inParagraph_) return;
    SyncFormat(0);
    html_ += paragraphHasText_ ? "</div>\n" : "<br></div>\n";
    inParagraph_ = paragraphHasText_ = false;
}

void SimpleHtmlWriter::EndParagraph() {
    if (State().flags & kInTable) {
        OpenBlock();
        SyncFormat(0);
        html_ += "<br>";
        return;
    }
    OpenBlock();
    CloseParagraph();
}

void SimpleHtmlWriter::EndCell() {
    const std::uint32_t flags = State().flags;
    State().flags |= kInTable;
    OpenBlock();
    State().flags = flags;
    SyncFormat(0);
    html_ += "</td>";
    inCell_ = false;
}

void SimpleHtmlWriter::EndRow() {
    SyncFormat(0);
    if (inCell_) html_ += "</td>";
    if (inRow_) html_ += "</tr>\n";
    inCell_ = inRow_ = false;
}

void SimpleHtmlWriter::CloseTable() {
    if (!inTable_) return;
    EndRow();
    html_ += "</table>\n";
    inTable_ = false;
}

}  // namespace

std::string RtfToSimpleHtml(std::string_view rtf) {
    return SimpleHtmlWriter().Run(rtf);
}

}  // namespace velmora::messaging
