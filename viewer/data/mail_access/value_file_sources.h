// The engine writes a value file when it is first read: every reader of a
// value-file path asks the engine sessions that may have named it before it
// opens the path. Each open store's binding enters its handle here when the
// handle is made and takes it out before it is deleted.
#pragma once

#include "engine/interface/corvex_engine.h"

namespace velmora {

void AddValueFileSource(EngineHandle* handle, CorvexEnsureValueFileFn ensure);
void RemoveValueFileSource(EngineHandle* handle);

enum class ValueFileState {
    kReady,     // a session wrote the file, now or before
    kFailed,    // the session that named it could not write it (a full disk)
    kUnclaimed  // no open session holds the value: the file is read as it is, if at all
};

// Asks the sources in turn, until one holds the value, to write the file the
// prop names. Safe from any thread.
ValueFileState EnsureValueFile(const ExportedProp& prop);

}  // namespace velmora
