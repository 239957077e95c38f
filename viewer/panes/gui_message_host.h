// The windowed program's message-box host: the data side's and the engine's
// messages appear as message boxes on the interface thread, whichever
// thread reports them. A worker that reports one waits until it is closed.
#pragma once

#include <QString>

#include "viewer/data/rebuild/message_box.h"

namespace velmora::panes {

class GuiMessageBoxHost : public MessageBoxHost {
  public:
    void Show(const std::u16string& caption, const std::u16string& text) override;

  protected:
    // Shows the box; always called on the interface thread.
    virtual void Present(const QString& caption, const QString& text);
};

}  // namespace velmora::panes
