// The command-line host of the message-box layer: "caption: text" on standard error.
#pragma once

#include <iosfwd>

#include "viewer/data/rebuild/message_box.h"

namespace velmora::cli {

class StderrMessageBox final : public MessageBoxHost {
  public:
    explicit StderrMessageBox(std::ostream& stream);
    void Show(const std::u16string& caption, const std::u16string& text) override;

  private:
    std::ostream& stream_;
};

}  // namespace velmora::cli
