// The program's side of the engine's message service. The engine libraries
// look up CorvexHostShowMessage in the program that loaded them; the viewer
// exports it, so the engine's messages appear as the viewer's own boxes.
#pragma once

#include "engine/interface/corvex_engine.h"

#if defined(_WIN32)
#define VELMORA_HOST_EXPORT __declspec(dllexport)
#else
#define VELMORA_HOST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VELMORA_HOST_EXPORT void CorvexHostShowMessage(const char* textUtf8,
                                                          const char* captionUtf8);
