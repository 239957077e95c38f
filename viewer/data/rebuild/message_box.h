// Messages for the user, shown by whatever the host program provides: a
// dialog in the windowed viewer, a line on standard error in a command-line tool.
#pragma once

#include <string>

namespace velmora {

// The caption of the data side's error boxes.
inline constexpr char16_t kErrorCaption[] = u"Error";

class MessageBoxHost {
  public:
    virtual ~MessageBoxHost() = default;
    virtual void Show(const std::u16string& caption, const std::u16string& text) = 0;
};

// The host stays owned by the caller and must outlive its use; null removes it.
void SetMessageBoxHost(MessageBoxHost* host);

// Hands the message to the host; without one the message is dropped.
void ShowMessageBox(const std::u16string& caption, const std::u16string& text);

}  // namespace velmora
