#include "messaging/rtf/rtf_tokenizer.h"

namespace velmora::messaging {
namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr std::size_t kMaxWordLength = 32;
constexpr std::size_t kMaxParamDigits = 10;

}  // namespace

bool RtfTokenizer::Next(RtfToken& token) {
    token = RtfToken{};
    // Line ends carry no meaning in RTF.
    while (pos_ < rtf_.size() && (rtf_[pos_] == '\r' || rtf_[pos_] == '\n')) ++pos_;
    if (pos_ >= rtf_.size()) return false;
    const char c = rtf_[pos_];
    if (c == '{' || c == '}') {
        token.kind = c == '{' ? RtfToken::Kind::GroupStart : RtfToken::Kind::GroupEnd;
        ++pos_;
    } else if (c == '\\') {
        ReadControl(token);
    } else {
        ReadText(token);
    }
    return true;
}

void RtfTokenizer::ReadControl(RtfToken& token) {
    ++pos_;  // the backslash
    if (pos_ >= rtf_.size()) {
        token.kind = RtfToken::Kind::Symbol;
        token.symbol = '\\';
        return;
    }
    const char c = rtf_[pos_];
    if (IsLetter(c)) return ReadWord(token);
    ++pos_;
    if (c == '\'' && pos_ + 2 <= rtf_.size()) {
        const int high = HexValue(rtf_[pos_]);
        const int low = HexValue(rtf_[pos_ + 1]);
        if (high >= 0 && low >= 0) {
            token.kind = RtfToken::Kind::HexByte;
            token.byte = static_cast<std::uint8_t>(high * 16 + low);
            pos_ += 2;
            return;
        }
    }
    token.kind = RtfToken::Kind::Symbol;
    // "\" before a line end means \par.
    token.symbol = c == '\r' || c == '\n' ? '\n' : c;
}

void RtfTokenizer::ReadWord(RtfToken& token) {
    token.kind = RtfToken::Kind::Word;
    const std::size_t start = pos_;
    while (pos_ < rtf_.size() && IsLetter(rtf_[pos_])) ++pos_;
    token.word = rtf_.substr(start, std::min(pos_ - start, kMaxWordLength));
    bool negative = false;
    if (pos_ + 1 < rtf_.size() && rtf_[pos_] == '-' && IsDigit(rtf_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    std::int64_t value = 0;
    std::size_t digits = 0;
    while (pos_ < rtf_.size() && IsDigit(rtf_[pos_])) {
        if (digits++ < kMaxParamDigits) value = value * 10 + (rtf_[pos_] - '0');
        ++pos_;
    }
    if (digits > 0) {
        token.hasParam = true;
        if (value > INT32_MAX) value = INT32_MAX;
        token.param = static_cast<std::int32_t>(negative ? -value : value);
    }
    // One space after a control word belongs to it.
    if (pos_ < rtf_.size() && rtf_[pos_] == ' ') ++pos_;
    // \binN is followed by N bytes of binary data, which no reader here wants.
    if (token.word == "bin" && token.hasParam && token.param > 0) {
        pos_ += std::min<std::size_t>(static_cast<std::size_t>(token.param), rtf_.size() - pos_);
    }
}

void RtfTokenizer::ReadText(RtfToken& token) {
    token.kind = RtfToken::Kind::Text;
    const std::size_t start = pos_;
    while (pos_ < rtf_.size()) {
        const char c = rtf_[pos_];
        if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n') break;
        ++pos_;
    }
    token.word = rtf_.substr(start, pos_ - start);
}

}  // namespace velmora::messaging
