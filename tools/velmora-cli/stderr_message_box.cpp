#include "tools/velmora-cli/stderr_message_box.h"

#include <ostream>
#include <string>

#include "common/utf16_text.h"

namespace velmora::cli {

StderrMessageBox::StderrMessageBox(std::ostream& stream) : stream_(stream) {}

void StderrMessageBox::Show(const std::u16string& caption, const std::u16string& text) {
    const std::string line = common::Utf16ToUtf8(caption) + ": " + common::Utf16ToUtf8(text) + '\n';
    const std::lock_guard lock(mutex_);
    stream_ << line << std::flush;
}

}  // namespace velmora::cli
