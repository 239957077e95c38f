// A component that records every call it receives, registered in process
// under the session's ProgID in place of the real one.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "automation/dispatch.h"

namespace velmora::test {

struct RecordedCall {
    std::string
        object;  // "session", "message", "recipients", "recipient", "attachments", "attachment"
    messaging::DispatchId id;
    messaging::InvokeKind kind;
    std::vector<std::string> args;  // DescribeVariant of each argument
    bool fileExisted = false;       // for calls whose first argument is a path
};

class CallLog {
  public:
    std::vector<RecordedCall> calls;
    // Member ids that fail with an error when called.
    std::vector<messaging::DispatchId> failing;
};

// Registers the recorder for the session ProgID while it lives.
class RecordingComponent {
  public:
    RecordingComponent();
    ~RecordingComponent();
    CallLog& Log() { return *log_; }

  private:
    std::shared_ptr<CallLog> log_ = std::make_shared<CallLog>();
};

}  // namespace velmora::test
