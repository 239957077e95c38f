#include "viewer/data/rebuild/message_box.h"

#include <atomic>

namespace velmora {
namespace {

std::atomic<MessageBoxHost*> currentHost{nullptr};

}  // namespace

void SetMessageBoxHost(MessageBoxHost* host) {
    currentHost.store(host);
}

void ShowMessageBox(const std::u16string& caption, const std::u16string& text) {
    if (MessageBoxHost* host = currentHost.load()) host->Show(caption, text);
}

}  // namespace velmora
