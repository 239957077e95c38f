// The base of the component's objects: Invoke with errors raised as
// exceptions inside the component and handed to the caller as error text.
#pragma once

#include <string>

#include "automation/dispatch.h"

namespace velmora::messaging {

class DispatchObject : public IDispatch {
  public:
    bool Invoke(DispatchId id, InvokeKind kind, std::span<const Variant> args, Variant& result,
                std::u16string& error) final;

  protected:
    // Runs the member; throws DispatchException for an unknown member or bad arguments.
    virtual Variant Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) = 0;
    [[noreturn]] static void Unknown(DispatchId id, InvokeKind kind);
};

// Typed access to argument `index`; throws DispatchException when it is missing or of another type.
const std::u16string& TextArgument(std::span<const Variant> args, std::size_t index);
std::int32_t IntArgument(std::span<const Variant> args, std::size_t index);
const Variant& Argument(std::span<const Variant> args, std::size_t index);

}  // namespace velmora::messaging
