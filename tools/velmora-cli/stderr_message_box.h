// The command-line host of the message-box layer: "caption: text" on standard
// error. The engine may report from two threads at once (a folder's messages
// are read and written on two), so each message is written whole, one at a time.
#pragma once

#include <iosfwd>
#include <mutex>

#include "viewer/data/rebuild/message_box.h"

namespace velmora::cli {

class StderrMessageBox final : public MessageBoxHost {
  public:
    explicit StderrMessageBox(std::ostream& stream);
    void Show(const std::u16string& caption, const std::u16string& text) override;

  private:
    std::ostream& stream_;
    std::mutex mutex_;
};

}  // namespace velmora::cli
