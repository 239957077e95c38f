// The tool's side of the engine's message service. The engine libraries look
// up CorvexHostShowMessage in the program that loaded them; this tool exports
// it (its executables link with exported symbols), so the engine's messages
// reach the message-box layer like the tool's own, one line on standard error,
// and a command can tell whether the engine reported anything while it ran.
#pragma once

#include <cstddef>

#include "engine/interface/corvex_engine.h"

#if defined(_WIN32)
#define VELMORA_CLI_HOST_EXPORT __declspec(dllexport)
#else
#define VELMORA_CLI_HOST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VELMORA_CLI_HOST_EXPORT void CorvexHostShowMessage(const char* textUtf8,
                                                              const char* captionUtf8);

namespace velmora::cli {

// How many engine messages have been shown since the program started.
std::size_t EngineMessagesShown();

}  // namespace velmora::cli
