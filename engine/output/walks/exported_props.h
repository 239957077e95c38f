// Copies of property maps for the viewer: every property becomes an
// ExportedProp whose bytes the engine allocated, in the map's order (ascending
// id, repeated ids in store order).
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"
#include "engine/output/walks/record_memory.h"
#include "engine/storage/property_map.h"

namespace corvex {

// The path of the value file that stands for an out-of-line value.
using ValueFileWriter = std::function<std::u16string(const PropValue&)>;

// A property map's props as they go into records. Without a writer every
// value is copied as held (an out-of-line table cell keeps its subnode NID);
// with one, out-of-line values cross as value-file paths, which this object
// holds until the records have copied them. The props point into `properties`,
// which must outlive this object.
class ExportedPropSources {
  public:
    ExportedPropSources(const PropertyMap& properties, const ValueFileWriter* writeValueFile);
    // The sources' bytes point into paths_: a move keeps the strings where
    // they are, a copy would leave the spans pointing into the original.
    ExportedPropSources(const ExportedPropSources&) = delete;
    ExportedPropSources& operator=(const ExportedPropSources&) = delete;
    ExportedPropSources(ExportedPropSources&&) = default;
    ExportedPropSources& operator=(ExportedPropSources&&) = default;
    std::span<const PropSource> Props() const { return sources_; }

  private:
    std::vector<std::u16string> paths_;
    std::vector<PropSource> sources_;
};

// A map of its own holding the copies.
ExportedPropMap* ExportProperties(const PropertyMap& properties,
                                  const ValueFileWriter* writeValueFile);

}  // namespace corvex
