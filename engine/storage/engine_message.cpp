#include "engine/storage/engine_message.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace corvex {
namespace {

struct MessageHook {
    std::mutex mutex;
    EngineMessageHandler handler;
    EngineMessageLog log;
    int scopes = 0;                      // open EngineMessageScopes
    std::set<std::string> shownInScope;  // messages already shown in the current scope
};

MessageHook& Hook() {
    static MessageHook hook;
    return hook;
}

// Without a handler a message goes to standard error; an engine library
// installs one that reaches the program that loaded it.
void ShowOnStandardError(std::string_view text, std::string_view caption) {
    const std::string textCopy(text);
    const std::string captionCopy(caption);
    std::fprintf(stderr, "%s: %s\n", captionCopy.c_str(), textCopy.c_str());
}

}  // namespace

EngineMessageScope::EngineMessageScope() {
    MessageHook& hook = Hook();
    std::lock_guard lock(hook.mutex);
    if (hook.scopes++ == 0) hook.shownInScope.clear();
}

EngineMessageScope::~EngineMessageScope() {
    MessageHook& hook = Hook();
    std::lock_guard lock(hook.mutex);
    --hook.scopes;
}

void ShowEngineMessage(std::string_view text, std::string_view caption) {
    ShowEngineMessage(text, caption, text);
}

void ShowEngineMessage(std::string_view text, std::string_view caption, std::string_view kind) {
    EngineMessageHandler handler;
    {
        MessageHook& hook = Hook();
        std::lock_guard lock(hook.mutex);
        ++hook.log.count;
        hook.log.lastText = text;
        hook.log.lastCaption = caption;
        const bool repeat =
            hook.scopes > 0 &&
            !hook.shownInScope.insert(std::string(caption) + '\n' + std::string(kind)).second;
        if (repeat) return;
        handler = hook.handler;
    }
    // Called outside the lock: a modal box may stay up for a long time.
    if (handler) {
        handler(text, caption);
    } else {
        ShowOnStandardError(text, caption);
    }
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
