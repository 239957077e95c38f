// Which engine binding reads a store: chosen from the 16-bit format version
// (wVer) at byte offset 10 of the file, before any library is loaded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "common/dynamic_library.h"
#include "engine/interface/corvex_engine.h"
#include "viewer/data/binding/pff_data_parser.h"

namespace velmora {

// Opens the store for reading (exclusively on Windows) and reads wVer into
// `version`; a file shorter than 12 bytes leaves it untouched. Returns non-zero
// when the file opened. When it did not, sets status->code to 0, puts the
// system's error text into status->text and returns 0.
int ReadStoreVersion(const std::u16string& storePath, std::uint16_t* version, OpenStatus* status);

// The range the open command accepts before asking for a binding: 14 to 36.
bool IsVersionInRange(std::uint16_t version);

// 14, 15 -> CPFF32DataParser; 21, 23 -> CPFF64DataParser; 36 -> CPFF64p4KDataParser;
// null for any other version. The new binding has no handle and no library yet.
std::unique_ptr<CPFFDataParserInterFace> CreateParserForVersion(
    std::uint16_t version,
    const std::filesystem::path& libraryFolder = common::ProgramLibraryFolder());

// "ANSI", "Unicode", "Unicode 4K", or empty for a version without a binding.
std::string VariantNameForVersion(std::uint16_t version);

}  // namespace velmora
