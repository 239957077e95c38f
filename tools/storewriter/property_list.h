// A list of properties built up by id and kind, with strings typed and encoded
// for the store variant (8-bit in ANSI stores, UTF-16 in the others).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "tools/storewriter/property_value.h"

namespace velmora::storewriter {

class PropertyList {
  public:
    explicit PropertyList(bool ansiStrings) : ansi_(ansiStrings) {}

    PropertyList& String(std::uint16_t id, std::string_view utf8);
    PropertyList& Long(std::uint16_t id, std::uint32_t value);
    PropertyList& Boolean(std::uint16_t id, bool value);
    PropertyList& Time(std::uint16_t id, std::uint64_t filetime);
    PropertyList& Binary(std::uint16_t id, std::span<const std::uint8_t> bytes);
    PropertyList& Add(PropertyValue value);

    std::uint16_t StringType() const {
        return ansi_ ? common::ptype::kString8 : common::ptype::kUnicode;
    }
    bool Ansi() const { return ansi_; }
    const std::vector<PropertyValue>& Values() const { return values_; }
    std::vector<PropertyValue> Take() { return std::move(values_); }

  private:
    bool ansi_;
    std::vector<PropertyValue> values_;
};

}  // namespace velmora::storewriter
