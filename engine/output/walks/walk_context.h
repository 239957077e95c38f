// What the folder and message walks share: the open store, the context reader,
// the session's ledger of value files, and the stop word.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <type_traits>

#include "common/path_text.h"
#include "common/property_ids.h"
#include "engine/output/files/property_view.h"
#include "engine/output/files/safe_name.h"
#include "engine/output/files/value_file.h"
#include "engine/output/files/value_text.h"
#include "engine/output/walks/exported_props.h"
#include "engine/output/walks/record_arena.h"
#include "engine/storage/context_reader.h"
#include "engine/storage/node_database.h"
#include "engine/storage/robustness_limits.h"

namespace corvex {

constexpr std::uint32_t kRootFolderNid = 0x122;

template <typename V>
class WalkContext {
  public:
    static constexpr TextVariant kText = V::kWide ? TextVariant::kWide : TextVariant::kAnsi;
    static constexpr const char* kLibraryName = V::kLibraryName;
    using Range = std::span<const NodeMap::Item>;

    WalkContext(const NodeDatabase<V>& database, ValueFileLedger& valueFiles, RecordArena& records,
                StopToken stop)
        : database_(database),
          contexts_(database.Reader()),
          valueFiles_(valueFiles),
          records_(records),
          stop_(stop) {}

    const ContextReader<V>& Contexts() const { return contexts_; }
    // Where the values of records are named, and forgotten when the walk frees them.
    ValueFileLedger& ValueFiles() const { return valueFiles_; }
    // Where the session's message records are carved.
    RecordArena& Records() const { return records_; }
    bool Stopped() const { return stop_.Stopped(); }

    // A folder's child folders and its messages, in the order the node B-tree gave them.
    Range ChildFolders(std::uint32_t nid) const {
        return database_.Walker().folderChildren.EqualRange(nid);
    }
    Range Messages(std::uint32_t nid) const {
        return database_.Walker().messageChildren.EqualRange(nid);
    }

    // A copy of the properties for the viewer, out-of-line values as the paths
    // of value files, written when the viewer first reads them.
    ExportedPropMap* ExportWithValueFiles(const PropertyMap& properties) const {
        return NewPropMap(SourcesWithValueFiles(properties).Props());
    }
    ExportedPropSources SourcesWithValueFiles(const PropertyMap& properties) const {
        const ValueFileWriter writer = [this](const PropValue& value) {
            return valueFiles_.Name({value.owner, value.SubnodeNid()});
        };
        return ExportedPropSources(properties, &writer);
    }

    // The directory name of a folder: empty when it has no usable display name.
    std::u16string FolderName(const PropertyMap& properties) const {
        const PropValue* name = properties.Find(common::prop::kDisplayName);
        return name != nullptr ? SafeName(NameText(ViewOf(*name), kText), false) : std::u16string();
    }

    static PropertyView ViewOf(const PropValue& value) {
        return PropertyView{value.id, value.type, value.bytes, value.inSubnode};
    }

  private:
    const NodeDatabase<V>& database_;
    ContextReader<V> contexts_;
    ValueFileLedger& valueFiles_;
    RecordArena& records_;
    StopToken stop_;
};

}  // namespace corvex
