#include "engine/output/files/row_file.h"

#include "common/path_text.h"
#include "engine/output/files/csv_line.h"
#include "engine/output/files/csv_text_file.h"
#include "common/property_name_table.h"
#include "engine/output/files/side_file.h"
#include "engine/output/files/value_text.h"

namespace corvex {
namespace {

std::u16string NamedSideFile(const std::filesystem::path& rowDirectory, std::uint16_t number,
                             std::uint16_t id) {
    const auto separator = static_cast<char16_t>(std::filesystem::path::preferred_separator);
    return common::PathToUtf16(rowDirectory) + separator + separator +
           SideFileName(number, id, u"");
}

CsvLine CellLine(const std::filesystem::path& rowDirectory, std::uint16_t number,
                 const PropertyView& cell, TextVariant variant) {
    const common::PropertyNameTable& names = common::PropertyNameTable::Shared();
    CsvLine line;
    line.number = number;
    line.propertyName = names.PropertyName(cell.id);
    line.typeName = names.TypeName(cell.type);
    line.size = cell.bytes.size();
    line.data = RowText(cell, variant);
    if (cell.outOfLine || cell.type == common::ptype::kBinary) {
        line.inFile = true;
        line.fileName = NamedSideFile(rowDirectory, number, cell.id);
    }
    return line;
}

}  // namespace

void WriteRowFile(const std::filesystem::path& rowDirectory, std::span<const PropertyView> cells,
                  TextVariant variant) {
    CsvTextFile file(rowDirectory / common::PathFromUtf16(kRowFileName));
    if (!file.IsOpen()) return;
    file.Write(kRowFileFirstLine);
    std::uint16_t number = 0;
    for (const PropertyView& cell : cells)
        file.Write(FormatCsvLine(CellLine(rowDirectory, ++number, cell, variant)));
}

}  // namespace corvex
