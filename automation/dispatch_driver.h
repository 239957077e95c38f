// The client side of a dispatch object: holds one object, creates it from a
// ProgID, and turns a failed call into a DispatchException.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "automation/dispatch.h"

namespace velmora::messaging {

class CDispatchDriver {
  public:
    CDispatchDriver() = default;
    explicit CDispatchDriver(DispatchPtr object) : object_(std::move(object)) {}

    // Creates the object registered under `progId`. False when no such class
    // can be created; throws DispatchException when the creation fails with an error.
    bool CreateDispatch(const std::u16string& progId);

    void AttachDispatch(DispatchPtr object) { object_ = std::move(object); }
    void ReleaseDispatch() { object_.reset(); }
    const DispatchPtr& Object() const { return object_; }

    // Calls the member; throws DispatchException when there is no object or the call fails.
    Variant InvokeHelper(DispatchId id, InvokeKind kind, std::vector<Variant> args = {});
    void SetProperty(DispatchId id, Variant value);
    // A call or get whose result must be a dispatch object; throws when it is not.
    DispatchPtr InvokeForObject(DispatchId id, InvokeKind kind, std::vector<Variant> args = {});

  private:
    DispatchPtr object_;
};

}  // namespace velmora::messaging
