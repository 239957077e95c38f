// The few messages the engine shows the user go through this hook, so that the
// engine needs no window system. The viewer installs a handler that shows a
// modal box; until it does, messages are only counted and remembered, which is
// also what the tests observe.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace corvex {

using EngineMessageHandler = std::function<void(std::string_view text, std::string_view caption)>;

// Hands a message to the installed handler and waits for it to return (a modal
// box returns when the user dismisses it). Every message is also recorded.
void ShowEngineMessage(std::string_view text, std::string_view caption);

// Installs `handler` and returns the one it replaces. An empty handler restores
// the default, which shows nothing.
EngineMessageHandler SetEngineMessageHandler(EngineMessageHandler handler);

struct EngineMessageLog {
    std::size_t count = 0;
    std::string lastText;
    std::string lastCaption;
};

// What has been shown since the last reset.
EngineMessageLog RecordedEngineMessages();
void ResetRecordedEngineMessages();

}  // namespace corvex
