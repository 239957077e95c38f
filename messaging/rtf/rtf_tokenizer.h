// Splits RTF into groups, control words, control symbols, hex escapes and
// runs of text. Never fails: whatever the input, it yields tokens until the end.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora::messaging {

struct RtfToken {
    enum class Kind { GroupStart, GroupEnd, Word, Symbol, HexByte, Text };
    Kind kind = Kind::Text;
    std::string_view word;   // Word: the letters; Text: the run
    std::int32_t param = 0;  // Word: the numeric parameter
    bool hasParam = false;
    char symbol = 0;        // Symbol: the character after the backslash
    std::uint8_t byte = 0;  // HexByte: the value of \'hh
};

class RtfTokenizer {
  public:
    explicit RtfTokenizer(std::string_view rtf) : rtf_(rtf) {}
    // False at the end of the input.
    bool Next(RtfToken& token);

  private:
    void ReadControl(RtfToken& token);
    void ReadWord(RtfToken& token);
    void ReadText(RtfToken& token);

    std::string_view rtf_;
    std::size_t pos_ = 0;
};

}  // namespace velmora::messaging
