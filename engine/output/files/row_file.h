// Row files of the folder export: one AttachProp.csv per attachment or
// recipient table row, below its Record_k directory.
#pragma once

#include <filesystem>
#include <span>

#include "engine/output/files/property_view.h"

namespace corvex {

inline constexpr char16_t kRowFileName[] = u"AttachProp.csv";

// Writes rowDirectory/AttachProp.csv, replacing an existing file. Cells are
// shown with the row formatting and not escaped. For PT_BINARY and out-of-line
// cells the last field names a side file as "<rowDirectory><sep><sep><name>",
// but no such file is written: the cells are copies of table cells, and the
// attachment's own property file next to it carries its content. Readers must
// not rely on that file. A file that cannot be opened is skipped silently.
void WriteRowFile(const std::filesystem::path& rowDirectory, std::span<const PropertyView> cells,
                  TextVariant variant);

}  // namespace corvex
