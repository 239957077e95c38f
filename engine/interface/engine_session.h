// The per-store engine session behind an EngineHandle, and the engine-wide state
// of one library: the temporary root, the registry of sessions and the session
// the running export works on.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "engine/interface/corvex_engine.h"
#include "engine/output/files/value_file.h"
#include "engine/output/walks/record_arena.h"
#include "engine/storage/node_database.h"

// Completes the opaque type of the shared header: the viewer only holds the pointer.
struct EngineSession {
    virtual ~EngineSession() = default;
};

namespace corvex {

template <typename V>
class Session final : public ::EngineSession {
  public:
    explicit Session(std::u16string root)
        : tempRoot(std::move(root)), valueFiles(common::PathFromUtf16(tempRoot)) {}

    NodeDatabase<V>& Database() { return *database_; }
    const NodeDatabase<V>& Database() const { return *database_; }
    // Drops whatever an earlier parse loaded, so that parsing again starts
    // clean; values not read yet lay in the dropped store and are forgotten.
    void ResetDatabase() {
        valueFiles.ForgetUnwritten();
        database_ = std::make_unique<NodeDatabase<V>>();
    }

    StatusBlock* status = nullptr;
    bool parsed = false;
    // The temporary root this session writes value files below. Each session
    // keeps its own copy: the engine-wide root is dropped by the delete export
    // of any handle, and the others must not then write to the file system's root.
    std::u16string tempRoot;
    // Every value file this session wrote and has not removed yet; what is
    // left goes when the session does, while other sessions' files stay.
    ValueFileLedger valueFiles;
    // Where the records of this session's messages are carved; its slabs go
    // when the session does, after the delete export has freed the records.
    RecordArena records;

    StopToken Stop() const { return StopToken(status != nullptr ? status->stopWord : nullptr); }

  private:
    std::unique_ptr<NodeDatabase<V>> database_ = std::make_unique<NodeDatabase<V>>();
};

// Engine-wide state of one library build. The caller runs one export at a
// time, except that a value file may be asked for from another thread: that
// export touches nothing here but the session it works on.
template <typename V>
struct EngineState {
    std::unique_ptr<std::u16string> tempRoot;
    std::vector<std::unique_ptr<Session<V>>> registry;  // in creation order
    std::atomic<Session<V>*> current{nullptr};

    static EngineState& Instance() {
        static EngineState state;
        return state;
    }
};

}  // namespace corvex
