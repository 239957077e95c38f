// Words for property ids and type codes: the folder export writes them into the
// columns of its CSV files and the names of its side files, and the viewer's
// properties view and the tool's `props` show them. The records handed to the
// viewer carry only the numbers.
#pragma once

#include <cstdint>
#include <string>

namespace common {

// Immutable, so one instance serves every session of every store.
class PropertyNameTable {
  public:
    static const PropertyNameTable& Shared();

    // The listed name, or "Property is-" and the id in upper-case hex without
    // padding, so that every property still gets a usable file name.
    std::u16string PropertyName(std::uint16_t id) const;

    // The listed name, or empty text for a type the export has no word for.
    std::u16string TypeName(std::uint16_t type) const;

  private:
    PropertyNameTable() = default;
};

}  // namespace common
