#include "viewer/data/binding/pff_parsers.h"

namespace velmora {

const EngineLibraryNames CPFF32DataParser::kNames{"Corvex32", "_ExpTestPFF32",
                                                  "_ExpCreatePFF32Object", "_ExpParsePFF32"};
const EngineLibraryNames CPFF64DataParser::kNames{"Corvex64", "_ExpPFFParseTest",
                                                  "_ExpCreatePFF64Object", "_ExpParsePFF64"};
const EngineLibraryNames CPFF64p4KDataParser::kNames{"Corvex64K", "_ExpPFFParseTest",
                                                     "_ExpCreatePFF64P4KObject", "_ExpParsePFF64"};

}  // namespace velmora
