// The StatusBlock and its CSThreadStatusMessage, created with a handle (or for
// the parse test) and released through the records' own destroy operation.
#pragma once

#include "engine/interface/corvex_engine.h"

namespace corvex {

StatusBlock* NewStatusBlock();
void FreeStatusBlock(StatusBlock* block);

}  // namespace corvex
