// The property files of the folder export (MSGProp.csv, FolderProp.csv and an
// attachment object's AttachProp.csv): one line per property, with PT_BINARY
// and out-of-line values written to side files next to them.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>

#include "engine/output/files/property_view.h"

namespace corvex {

// Writes directory/<baseName>.csv, replacing an existing file, in UTF-8 with
// CR LF line ends. `properties` come in ascending id order and are written in
// that order. `resolve` fetches the bytes of out-of-line values for their side
// files. A file that cannot be opened is skipped silently, side files included.
void WritePropertyCsv(const std::filesystem::path& directory, std::u16string_view baseName,
                      std::span<const PropertyView> properties, const ValueResolver& resolve,
                      CsvFlavor flavor);

}  // namespace corvex
