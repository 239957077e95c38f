// The late-bound call interface of the component layer: one entry point that
// names the member by dispatch id and says whether it is a method call, a
// property get or a property put.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "automation/variant.h"

namespace velmora::messaging {

// A failed Invoke or creation, with the error's text: thrown inside a
// component for an unknown member or bad arguments, and by the client side for
// a call that failed.
class DispatchException : public std::runtime_error {
  public:
    explicit DispatchException(std::u16string text);
    const std::u16string& Text() const { return text_; }

  private:
    std::u16string text_;
};

using DispatchId = std::uint32_t;

enum class InvokeKind { Method, PropertyGet, PropertyPut };

const char* InvokeKindName(InvokeKind kind);

class IDispatch {
  public:
    virtual ~IDispatch() = default;

    // Runs the member. A property put passes the new value as its one argument.
    // On failure returns false and puts the error's text in `error`; `result` is
    // then left empty.
    virtual bool Invoke(DispatchId id, InvokeKind kind, std::span<const Variant> args,
                        Variant& result, std::u16string& error) = 0;
};

}  // namespace velmora::messaging
