// The values that cross the component layer: arguments and results of Invoke.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

namespace velmora::messaging {

class IDispatch;
using DispatchPtr = std::shared_ptr<IDispatch>;

// A date as automation passes it: days since 1899-12-30 00:00 with the time of
// day as the fraction, in local time.
struct VariantDate {
    double days = 0;
    bool operator==(const VariantDate&) const = default;
};

// Empty, text, 32-bit integer, boolean, date or a dispatch object.
using Variant =
    std::variant<std::monostate, std::u16string, std::int32_t, bool, VariantDate, DispatchPtr>;

// A short, typed rendering of a value ("I4:1028", "BSTR:text", ...), for diagnostics and tests.
std::string DescribeVariant(const Variant& value);

}  // namespace velmora::messaging
