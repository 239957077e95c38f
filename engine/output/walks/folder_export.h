// The folder export: a folder's messages and subfolders written below a target
// directory as property files, row files and side files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "common/safe_name.h"
#include "engine/output/walks/loaded_message.h"
#include "engine/output/walks/walk_context.h"

namespace corvex {

template <typename V>
class FolderExport {
  public:
    explicit FolderExport(const WalkContext<V>& context) : context_(context) {}

    // Writes the messages of `nid` into `target` and each named child folder
    // into a directory of its own below it, recursively. `target` stands for
    // the folder itself. Sibling folders whose names come out the same get
    // "Name", "Name (2)", "Name (3)"... in walk order, so none writes over
    // another.
    void SaveHierarchy(std::uint32_t nid, const std::filesystem::path& target) const;

  private:
    // The directory names this export gave the child folders of one folder.
    using SiblingNames = common::SiblingNames;

    void SaveHierarchy(std::uint32_t nid, const std::filesystem::path& target,
                       std::unordered_set<std::uint32_t>& path) const;
    void SaveChildFolder(const NbtEntry& child, const std::filesystem::path& target,
                         SiblingNames& siblings, std::unordered_set<std::uint32_t>& path) const;
    void SaveMessages(std::uint32_t nid, const std::filesystem::path& target) const;
    void SaveMessage(std::size_t ordinal, const NbtEntry& message,
                     const std::filesystem::path& target) const;
    void SaveAttachments(const LoadedMessage& message,
                         const std::filesystem::path& directory) const;
    void SaveRecipients(const LoadedMessage& message, const std::filesystem::path& directory) const;
    void WriteProperties(const std::filesystem::path& directory, std::u16string_view baseName,
                         const PropertyMap& properties) const;

    const WalkContext<V>& context_;
};

}  // namespace corvex
