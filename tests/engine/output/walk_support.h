// Driving the engine's exports on a store of any variant, and reading the
// records they hand out back into plain values.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"
#include "tests/engine/output/corpus_items.h"
#include "tests/support/test_paths.h"

namespace velmora::test {

enum class StoreVariant { kAnsi, kUnicode, kUnicode4K, kUnknown };

StoreVariant VariantOfStore(const std::filesystem::path& store);

// The exports of one variant's engine, as plain function pointers.
struct EngineCalls {
    std::int32_t (*create)(const char16_t*, EngineHandle**, const char16_t*);
    std::int32_t (*parse)(const char16_t*, EngineHandle*, OpenStatus*);
    std::int32_t (*parseTest)(const char16_t*, const char16_t*);
    std::int32_t (*enumRootFolder)(EngineHandle*);
    std::int32_t (*enumChildFolder)(FolderEntry*, EngineHandle*);
    std::int32_t (*enumAllFolders)(EngineHandle*);
    std::int32_t (*enumChildMails)(FolderEntry*, EngineHandle*, std::uint32_t, std::uint32_t);
    std::int32_t (*enumChildMailsNext)(FolderEntry*, EngineHandle*);
    std::int32_t (*saveFolderHierarchy)(std::uint32_t, std::uint32_t, const char16_t*,
                                        EngineHandle*);
    std::int32_t (*remove)(EngineHandle*);
    std::int32_t (*ensureValueFile)(EngineHandle*, const ExportedProp*);
};

const EngineCalls& CallsFor(StoreVariant variant);

std::u16string U16(const std::filesystem::path& path);

// A created and parsed handle with a temporary root of its own, or one shared
// with other handles; deleted with the object. While it lives, its value files
// are written when PropBytes (or any reader of the data side) reads them.
class OpenedStore {
  public:
    explicit OpenedStore(const std::filesystem::path& store);
    OpenedStore(const std::filesystem::path& store, StoreVariant variant);
    OpenedStore(const std::filesystem::path& store, StoreVariant variant,
                std::filesystem::path tempRoot);
    ~OpenedStore();
    OpenedStore(const OpenedStore&) = delete;
    OpenedStore& operator=(const OpenedStore&) = delete;

    EngineHandle* Handle() const { return handle_; }
    const EngineCalls& Calls() const { return *calls_; }
    StoreVariant Variant() const { return variant_; }
    const std::filesystem::path& TempRoot() const { return root_; }
    std::filesystem::path ValueFileFolder() const { return root_ / "GUIDTempFiles"; }
    bool Opened() const { return opened_; }
    // Deletes the handle now (further calls through the object are not allowed).
    void Delete();

    // The whole tree below the root folder, enumerated once.
    FolderList& AllFolders();
    void SetStopWord(std::int32_t value);

  private:
    ScratchDir temp_;
    std::filesystem::path root_;
    StoreVariant variant_;
    const EngineCalls* calls_;
    EngineHandle* handle_ = nullptr;
    bool opened_ = false;
    bool enumerated_ = false;
};

// A folder reached through the records, with its path of display names below
// the folder the walk started at ("Inbox", "Sync Issues/Conflicts").
struct WalkedFolder {
    std::string path;
    FolderEntry* entry;
};

const ExportedProp* FindProp(const ExportedPropMap* map, std::uint16_t id);
// The value's bytes, read from its value file when it crossed as one (the
// file written first by the handle that named it, as the viewer reads it).
std::vector<std::uint8_t> PropBytes(const ExportedProp& prop);
std::filesystem::path ValueFilePath(const ExportedProp& prop);
// A string property as UTF-8 (PT_UNICODE, or 8-bit text as Latin-1), without its trailing NULs.
std::string PropText(const ExportedPropMap* map, std::uint16_t id);
std::uint32_t PropLong(const ExportedPropMap* map, std::uint16_t id);

std::string FolderDisplayName(const FolderEntry& folder);
FolderEntry* FindFolderByName(const FolderList& list, const std::string& name);
// Depth first, each level in list order.
std::vector<WalkedFolder> FoldersBelow(const FolderEntry& folder);

// The fields the independent reader reports, from one MailEntry.
StoreItem ItemOf(const MailEntry& mail, const std::string& folder);
std::vector<const MailEntry*> MailsOf(const FolderEntry& folder);

// Every value-file prop of the records of a folder's messages, and the paths they hold.
std::vector<const ExportedProp*> ValueFilePropsOf(const FolderEntry& folder);
std::vector<std::filesystem::path> ValueFilesOf(const FolderEntry& folder);
// Reads every value of the folder's messages held in a file, as the viewer
// would, so that each file is written.
void ReadValueFilesOf(const FolderEntry& folder);

std::size_t FilesIn(const std::filesystem::path& directory);

}  // namespace velmora::test
