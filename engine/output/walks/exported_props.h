// Copies of property maps for the viewer: every property becomes an
// ExportedProp whose bytes the engine allocated, in the map's order (ascending
// id, repeated ids in store order).
#pragma once

#include <functional>
#include <string>

#include "engine/interface/corvex_engine.h"
#include "engine/storage/property_map.h"

namespace corvex {

// The path of the value file that stands for an out-of-line value.
using ValueFileWriter = std::function<std::u16string(const PropValue&)>;

// Without a writer every value is copied as held (an out-of-line table cell
// keeps its subnode NID); with one, out-of-line values cross as value-file paths.
ExportedPropMap* ExportProperties(const PropertyMap& properties,
                                  const ValueFileWriter* writeValueFile);

}  // namespace corvex
