#include "messaging/rtf/rtf_reader.h"

#include <array>

namespace velmora::messaging {
namespace {

constexpr std::size_t kMaxGroupDepth = 4096;

// Groups whose content is not text of the document.
constexpr std::array<std::string_view, 30> kSkippedDestinations = {"fonttbl",
                                                                   "colortbl",
                                                                   "stylesheet",
                                                                   "info",
                                                                   "pict",
                                                                   "object",
                                                                   "header",
                                                                   "headerl",
                                                                   "headerr",
                                                                   "headerf",
                                                                   "footer",
                                                                   "footerl",
                                                                   "footerr",
                                                                   "footerf",
                                                                   "fldinst",
                                                                   "themedata",
                                                                   "colorschememapping",
                                                                   "datastore",
                                                                   "latentstyles",
                                                                   "rsidtbl",
                                                                   "generator",
                                                                   "xmlnstbl",
                                                                   "filetbl",
                                                                   "revtbl",
                                                                   "listtable",
                                                                   "listoverridetable",
                                                                   "pgdsctbl",
                                                                   "shpinst",
                                                                   "nonshppict",
                                                                   "bkmkstart"};

struct SpecialCharacter {
    std::string_view word;
    std::uint32_t codePoint;
};
constexpr SpecialCharacter kSpecialCharacters[] = {
    {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018},
    {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
    {"enspace", 0x2002}, {"qmspace", 0x2005},
};

}  // namespace

bool RtfReader::KeepsDestination(std::string_view word, bool starred) const {
    if (starred) return false;
    for (const auto skipped : kSkippedDestinations) {
        if (word == skipped) return false;
    }
    return true;
}

void RtfReader::Walk(std::string_view rtf) {
    RtfTokenizer tokenizer(rtf);
    RtfToken token;
    while (tokenizer.Next(token)) OnToken(token);
    while (!stack_.empty()) OnGroupEndToken();
}

void RtfReader::AddCodePoint(std::uint32_t codePoint) {
    if (!state_.skip && !state_.suppressed) characters_.AddCodePoint(codePoint);
}

void RtfReader::OnToken(const RtfToken& token) {
    const bool wasGroupStart = groupStart_;
    groupStart_ = false;
    switch (token.kind) {
        case RtfToken::Kind::GroupStart:
            return OnGroupStart();
        case RtfToken::Kind::GroupEnd:
            return OnGroupEndToken();
        case RtfToken::Kind::Word:
            groupStart_ = wasGroupStart;
            return OnControlWord(token);
        case RtfToken::Kind::Symbol:
            if (token.symbol == '*' && wasGroupStart) {
                starred_ = true;
                groupStart_ = true;
                return;
            }
            return OnSymbol(token.symbol);
        case RtfToken::Kind::HexByte:
            return OnHexByte(token.byte);
        case RtfToken::Kind::Text:
            return OnText(token.word);
    }
}

void RtfReader::OnGroupStart() {
    fallbackLeft_ = 0;
    starred_ = false;
    if (stack_.size() >= kMaxGroupDepth) {
        ++overflowDepth_;
        return;
    }
    stack_.push_back(state_);
    groupStart_ = true;
}

void RtfReader::OnGroupEndToken() {
    fallbackLeft_ = 0;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.empty()) return;  // a stray "}" closes nothing
    OnGroupEnd();
    state_ = stack_.back();
    stack_.pop_back();
}

void RtfReader::OnControlWord(const RtfToken& token) {
    if (groupStart_) {
        groupStart_ = false;
        if (!KeepsDestination(token.word, starred_)) state_.skip = true;
        starred_ = false;
    }
    if (token.word == "u" && token.hasParam) {
        const std::int32_t value = token.param < 0 ? token.param + 65536 : token.param;
        AddCodePoint(static_cast<std::uint32_t>(value));
        fallbackLeft_ = state_.unicodeSkip;
        return;
    }
    if (ConsumesFallback()) return;
    if (token.word == "uc" && token.hasParam) {
        state_.unicodeSkip = token.param < 0 ? 0 : std::min(token.param, 16);
    } else if (token.word == "ansicpg" && token.hasParam && token.param > 0) {
        Characters().SetCodePage(static_cast<std::uint32_t>(token.param));
    } else {
        for (const auto& special : kSpecialCharacters) {
            if (token.word == special.word) return AddCodePoint(special.codePoint);
        }
        if (!state_.skip) OnWord(token);
    }
}

void RtfReader::OnSymbol(char symbol) {
    if (ConsumesFallback()) return;
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            return AddCodePoint(static_cast<unsigned char>(symbol));
        case '~':
            return AddCodePoint(0xA0);
        case '_':
            return AddCodePoint(0x2011);
        case '\n': {
            RtfToken par;
            par.kind = RtfToken::Kind::Word;
            par.word = "par";
            if (!state_.skip) OnWord(par);
            return;
        }
        default:
            return;  // \- and other symbols show nothing
    }
}

void RtfReader::OnText(std::string_view text) {
    for (const char c : text) {
        if (ConsumesFallback()) continue;
        if (!state_.skip && !state_.suppressed) characters_.AddByte(static_cast<std::uint8_t>(c));
    }
}

void RtfReader::OnHexByte(std::uint8_t byte) {
    if (ConsumesFallback()) return;
    if (!state_.skip && !state_.suppressed) characters_.AddByte(byte);
}

bool RtfReader::ConsumesFallback() {
    if (fallbackLeft_ <= 0) return false;
    --fallbackLeft_;
    return true;
}

}  // namespace velmora::messaging
