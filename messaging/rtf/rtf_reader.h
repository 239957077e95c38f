// The walk both RTF converters share: groups with their saved state, skipped
// destinations, the code page, \uN with its fallback characters, and special
// characters. A converter sees text and the control words it cares about.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "messaging/rtf/rtf_character_buffer.h"
#include "messaging/rtf/rtf_tokenizer.h"

namespace velmora::messaging {

// What every group carries; converters keep their own flags in `flags`.
struct RtfGroupState {
    bool skip = false;        // inside a destination whose text is not shown
    bool suppressed = false;  // text a converter does not want here (its control words still count)
    std::int32_t unicodeSkip = 1;  // \ucN: fallback characters after \uN
    std::uint32_t flags = 0;
};

class RtfReader {
  public:
    virtual ~RtfReader() = default;

  protected:
    // Walks the whole document. Unbalanced groups and any garbage are tolerated.
    void Walk(std::string_view rtf);

    // A control word not handled by the walk itself, outside skipped groups.
    virtual void OnWord(const RtfToken& token) = 0;
    // Called before a group ends, while its state is still current.
    virtual void OnGroupEnd() {}
    // A destination the converter wants to see (`{\*\name` or a known one); the
    // default skips every `\*` destination and the document tables.
    virtual bool KeepsDestination(std::string_view word, bool starred) const;

    RtfGroupState& State() { return state_; }
    RtfCharacterBuffer& Characters() { return characters_; }
    // A character the walk produces (text, \'hh, \uN, special characters)
    // when the current group is not skipped.
    void AddCodePoint(std::uint32_t codePoint);
    bool AtGroupStart() const { return groupStart_; }

  private:
    void OnToken(const RtfToken& token);
    void OnGroupStart();
    void OnGroupEndToken();
    void OnControlWord(const RtfToken& token);
    void OnSymbol(char symbol);
    void OnText(std::string_view text);
    void OnHexByte(std::uint8_t byte);
    bool ConsumesFallback();

    RtfGroupState state_;
    std::vector<RtfGroupState> stack_;
    std::size_t overflowDepth_ = 0;  // groups beyond the stack limit
    RtfCharacterBuffer characters_;
    std::int32_t fallbackLeft_ = 0;
    bool groupStart_ = false;
    bool starred_ = false;
};

}  // namespace velmora::messaging
