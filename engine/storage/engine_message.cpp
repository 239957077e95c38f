#include "engine/storage/engine_message.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "engine/interface/corvex_engine.h"

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

// The message service of the program that loaded us, looked up once.
CorvexHostShowMessageFn HostMessageService() {
    static const CorvexHostShowMessageFn service = [] {
#ifdef _WIN32
        return reinterpret_cast<CorvexHostShowMessageFn>(
            ::GetProcAddress(::GetModuleHandleW(nullptr), CORVEX_HOST_MESSAGE_FUNCTION));
#else
        return reinterpret_cast<CorvexHostShowMessageFn>(
            ::dlsym(RTLD_DEFAULT, CORVEX_HOST_MESSAGE_FUNCTION));
#endif
    }();
    return service;
}

void ShowThroughHost(std::string_view text, std::string_view caption) {
    const std::string textCopy(text);
    const std::string captionCopy(caption);
    if (CorvexHostShowMessageFn service = HostMessageService()) {
        service(textCopy.c_str(), captionCopy.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", captionCopy.c_str(), textCopy.c_str());
    }
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
        ShowThroughHost(text, caption);
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
