// One store driven through the viewer's binding exactly as the viewer drives
// it: version, binding, create, parse and the all-folders enumeration on
// Open; message enumeration on demand; the delete export at the end. The
// engine's temporary root is a scratch folder of the session's own, removed
// with the session.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "common/dynamic_library.h"
#include "engine/interface/corvex_engine.h"
#include "tools/velmora-cli/scratch_root.h"
#include "tools/velmora-cli/store_index.h"
#include "viewer/data/binding/pff_data_parser.h"
#include "viewer/data/work_folder/run_folder.h"

namespace velmora::cli {

class StoreSession {
  public:
    // Makes the binding for a store's format version; null when none reads it.
    using BindingFactory =
        std::function<std::unique_ptr<CPFFDataParserInterFace>(std::uint16_t version)>;

    explicit StoreSession(std::filesystem::path libraryFolder = common::ProgramLibraryFolder());
    // A session whose bindings come from `factory` rather than from the
    // libraries of a folder: how the fuzz target drives an engine compiled in.
    explicit StoreSession(BindingFactory factory);
    ~StoreSession();
    StoreSession(const StoreSession&) = delete;
    StoreSession& operator=(const StoreSession&) = delete;

    // False with a one-line reason in `error` when the store cannot be read.
    bool Open(const std::filesystem::path& store, std::string& error);

    EngineHandle* Handle() const { return binding_ ? binding_->Handle() : nullptr; }
    CPFFDataParserInterFace& Binding() const { return *binding_; }
    std::uint16_t Version() const { return version_; }
    // The engine's temporary root; empty until Open has made it.
    const std::filesystem::path& ScratchFolder() const { return scratch_.Path(); }
    FolderList* Roots() const;

    // The folder's messages, enumerated afresh.
    const MailEntryList& EnumMails(FolderEntry* folder);
    // How many messages the folder's enumeration hands out, counted in the
    // store index without enumerating them, so no value file is written; by
    // enumeration when the file cannot be read again.
    std::size_t MessageCount(FolderEntry* folder);

    // The tool's own read of the store file, made on first use; null when the
    // file could not be read again.
    const StoreIndex* Index();

  private:
    bool CreateBinding(const std::filesystem::path& store, std::string& error);

    std::filesystem::path libraryFolder_;
    BindingFactory factory_;
    // Declared before the binding so that it goes after it: the engine's
    // delete export runs while the value files are still in place.
    RunFolder scratch_;
    std::unique_ptr<CPFFDataParserInterFace> binding_;
    std::uint16_t version_ = 0;
    std::filesystem::path store_;
    std::unique_ptr<StoreIndex> index_;
    bool indexTried_ = false;
};

}  // namespace velmora::cli
