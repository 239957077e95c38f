// The three engine bindings, one per library and store variant.
#pragma once

#include "viewer/data/binding/pff_library_parser.h"

namespace velmora {

// ANSI stores (wVer 14 and 15): Corvex32.
class CPFF32DataParser final : public CPFFLibraryDataParser {
  public:
    static const EngineLibraryNames kNames;
    explicit CPFF32DataParser(std::filesystem::path libraryFolder = common::ProgramLibraryFolder())
        : CPFFLibraryDataParser(kNames, std::move(libraryFolder)) {}
};

// Unicode stores (wVer 21 and 23): Corvex64.
class CPFF64DataParser final : public CPFFLibraryDataParser {
  public:
    static const EngineLibraryNames kNames;
    explicit CPFF64DataParser(std::filesystem::path libraryFolder = common::ProgramLibraryFolder())
        : CPFFLibraryDataParser(kNames, std::move(libraryFolder)) {}
};

// Unicode stores with 4K pages (wVer 36): Corvex64K.
class CPFF64p4KDataParser final : public CPFFLibraryDataParser {
  public:
    static const EngineLibraryNames kNames;
    explicit CPFF64p4KDataParser(
        std::filesystem::path libraryFolder = common::ProgramLibraryFolder())
        : CPFFLibraryDataParser(kNames, std::move(libraryFolder)) {}
};

}  // namespace velmora
