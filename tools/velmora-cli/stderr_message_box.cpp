#include "tools/velmora-cli/stderr_message_box.h"

#include <ostream>

#include "common/utf16_text.h"

namespace velmora::cli {

StderrMessageBox::StderrMessageBox(std::ostream& stream) : stream_(stream) {}

void StderrMessageBox::Show(const std::u16string& caption, const std::u16string& text) {
    stream_ << common::Utf16ToUtf8(caption) << ": " << common::Utf16ToUtf8(text) << std::endl;
}

}  // namespace velmora::cli
