// The program's side of the engine's message service. The engine libraries
// look up CorvexHostShowMessage among the exported symbols of the program that
// loaded them; the viewer and velmora-cli link this (with exported symbols),
// so the engine's messages reach the message-box layer like their own.
#pragma once

#include <cstddef>

#include "engine/interface/corvex_engine.h"

#if defined(_WIN32)
#define VELMORA_HOST_EXPORT __declspec(dllexport)
#else
#define VELMORA_HOST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VELMORA_HOST_EXPORT void CorvexHostShowMessage(const char* textUtf8,
                                                          const char* captionUtf8);

namespace velmora {

// How many engine messages have been shown since the program started, so that
// a command can tell whether the engine reported anything while it ran.
std::size_t EngineMessagesShown();

}  // namespace velmora
