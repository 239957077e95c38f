// How the output layer sees a property or table cell, independent of the
// storage classes that read it, so that value text and record files can be
// produced (and tested) without a store.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "common/property_ids.h"

namespace corvex {

struct PropertyView {
    std::uint16_t id = 0;
    std::uint16_t type = 0;  // the MAPI PT_ code
    // The value as the store holds it; for an out-of-line value these are the
    // 4 bytes of the subnode NID, not the value itself.
    std::span<const std::uint8_t> bytes;
    bool outOfLine = false;  // the value lives in a subnode; a ValueResolver fetches it
};

// Fetches the real bytes of an out-of-line value from the store.
using ValueResolver = std::function<std::vector<std::uint8_t>(const PropertyView&)>;

// ANSI stores hold 8-bit strings (PT_STRING8), which only their library shows
// as text; the Unicode libraries show them in hexadecimal.
enum class TextVariant { kAnsi, kWide };

// Which first line a PropertyCsv starts with. The 64-bit Unicode library puts
// the row-file line (with "File Name") on top of its property files as well.
enum class CsvFirstLine { kPlain, kWithFileName };

// What differs between the libraries' property files.
struct CsvFlavor {
    CsvFirstLine firstLine = CsvFirstLine::kPlain;
    TextVariant text = TextVariant::kWide;
};

}  // namespace corvex
