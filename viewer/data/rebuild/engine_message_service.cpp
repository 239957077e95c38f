#include "viewer/data/rebuild/engine_message_service.h"

#include <atomic>

#include "common/utf16_text.h"
#include "viewer/data/rebuild/message_box.h"

namespace {

std::atomic<std::size_t> shownMessages{0};

// The declaration the engine's lookup relies on: same name, same type.
[[maybe_unused]] constexpr CorvexHostShowMessageFn kMessageService = &CorvexHostShowMessage;

}  // namespace

extern "C" void CorvexHostShowMessage(const char* textUtf8, const char* captionUtf8) {
    ++shownMessages;
    velmora::ShowMessageBox(common::Utf8ToUtf16(captionUtf8 != nullptr ? captionUtf8 : ""),
                            common::Utf8ToUtf16(textUtf8 != nullptr ? textUtf8 : ""));
}

namespace velmora {

std::size_t EngineMessagesShown() {
    return shownMessages.load();
}

}  // namespace velmora
