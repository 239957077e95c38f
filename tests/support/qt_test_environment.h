// For tests of the viewer's window: a QApplication on the offscreen platform
// for the whole test program, with settings, cache and working folder in a
// temporary folder of its own; and a message-box host that records instead
// of showing.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "viewer/data/rebuild/message_box.h"

namespace velmora::test {

// Installs itself as the message-box host while it lives. The engine may
// report from both threads of a folder walk.
class RecordingMessageHost : public MessageBoxHost {
  public:
    RecordingMessageHost();
    ~RecordingMessageHost() override;
    void Show(const std::u16string& caption, const std::u16string& text) override;

    std::vector<std::string> texts;

  private:
    std::mutex mutex_;
};

}  // namespace velmora::test
