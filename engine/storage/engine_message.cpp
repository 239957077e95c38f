#include "engine/storage/engine_message.h"

#include <mutex>
#include <utility>

namespace corvex {
namespace {

struct MessageHook {
    std::mutex mutex;
    EngineMessageHandler handler;
    EngineMessageLog log;
};

MessageHook& Hook() {
    static MessageHook hook;
    return hook;
}

}  // namespace

void ShowEngineMessage(std::string_view text, std::string_view caption) {
    EngineMessageHandler handler;
    {
        MessageHook& hook = Hook();
        std::lock_guard lock(hook.mutex);
        ++hook.log.count;
        hook.log.lastText = text;
        hook.log.lastCaption = caption;
        handler = hook.handler;
    }
    // Called outside the lock: a modal box may stay up for a long time.
    if (handler) handler(text, caption);
}

EngineMessageHandler SetEngineMessageHandler(EngineMessageHandler handler) {
    MessageHook& hook = Hook();
    std::lock_guard lock(hook.mutex);
    return std::exchange(hook.handler, std::move(handler));
}

EngineMessageLog RecordedEngineMessages() {
    MessageHook& hook = Hook();
    std::lock_guard lock(hook.mutex);
    return hook.log;
}

void ResetRecordedEngineMessages() {
    MessageHook& hook = Hook();
    std::lock_guard lock(hook.mutex);
    hook.log = {};
}

}  // namespace corvex
