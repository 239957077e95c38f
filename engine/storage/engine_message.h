// The few messages the engine shows the user go through this hook, so that the
// engine needs no window system. Without a handler they go to standard error;
// each engine library installs one that hands them to the program that loaded
// it (its CorvexHostShowMessage, which shows a modal box), and code linked with
// the engine core may install a handler of its own. Every message is also counted and remembered,
// which is what the tests observe.
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

// The same for a message whose text differs from case to case (it names a
// path): inside an EngineMessageScope only the first message of each `kind`
// is shown, so an export that fails the same way for every message of a
// folder brings up one box, not thousands.
void ShowEngineMessage(std::string_view text, std::string_view caption, std::string_view kind);

// Installs `handler` and returns the one it replaces. An empty handler restores
// the default: standard error.
EngineMessageHandler SetEngineMessageHandler(EngineMessageHandler handler);

// While one lives, each distinct message is shown once: a damaged store can
// hold thousands of identifiers that name nothing, and a modal box for each
// would freeze the user. Every export call opens one. Later repeats are still
// counted in the log.
class EngineMessageScope {
  public:
    EngineMessageScope();
    ~EngineMessageScope();
    EngineMessageScope(const EngineMessageScope&) = delete;
    EngineMessageScope& operator=(const EngineMessageScope&) = delete;
};

struct EngineMessageLog {
    std::size_t count = 0;
    std::string lastText;
    std::string lastCaption;
};

// What has been shown since the last reset.
EngineMessageLog RecordedEngineMessages();
void ResetRecordedEngineMessages();

}  // namespace corvex
