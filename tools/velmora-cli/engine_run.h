// Drives one store through an engine library loaded by file name: create and
// parse on construction, delete on destruction.
#pragma once

#include <filesystem>
#include <string>

#include "engine/interface/corvex_engine.h"
#include "viewer/data/dynamic_library.h"
#include "viewer/data/store_version.h"

namespace velmora::cli {

class EngineRun {
public:
    EngineRun() = default;
    ~EngineRun();
    EngineRun(const EngineRun&) = delete;
    EngineRun& operator=(const EngineRun&) = delete;

    // Reads the store's version, loads the matching library and parses the
    // store. On failure returns false with a one-line message in `error`.
    bool Open(const std::filesystem::path& store, std::string& error);

    EngineHandle* Handle() const { return handle_; }
    EngineVariant Variant() const { return variant_; }
    std::uint16_t Version() const { return version_; }

private:
    bool LoadLibrary(std::string& error);

    DynamicLibrary library_;
    EngineHandle* handle_ = nullptr;
    EngineVariant variant_ = EngineVariant::kUnicode;
    std::uint16_t version_ = 0;
};

// The folder the engine writes its temporary files to.
std::filesystem::path CliWorkFolder();

}  // namespace velmora::cli
