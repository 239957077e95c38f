#include "engine/output/files/property_csv.h"

#include <optional>
#include <vector>

#include "common/path_text.h"
#include "engine/output/files/csv_line.h"
#include "engine/output/files/csv_text_file.h"
#include "common/property_name_table.h"
#include "engine/output/files/side_file.h"
#include "engine/output/files/value_text.h"

namespace corvex {
namespace {

bool GoesToSideFile(const PropertyView& property) {
    return property.outOfLine || property.type == common::ptype::kBinary;
}

std::vector<std::uint8_t> SideFileBytes(const PropertyView& property,
                                        const ValueResolver& resolve) {
    if (!property.outOfLine) return {property.bytes.begin(), property.bytes.end()};
    return resolve ? resolve(property) : std::vector<std::uint8_t>{};
}

// Writes the side file and notes it in the line. When every candidate name is
// taken the value stays in the CSV only.
void PutInSideFile(const std::filesystem::path& directory, const PropertyView& property,
                   const ValueResolver& resolve, CsvLine& line) {
    const std::optional<std::filesystem::path> path =
        WriteSideFile(directory, line.number, property.id, SideFileBytes(property, resolve));
    if (!path) return;
    line.inFile = true;
    line.fileName = common::PathToUtf16(*path);
}

CsvLine PropertyLine(std::uint16_t number, const PropertyView& property, TextVariant variant) {
    const common::PropertyNameTable& names = common::PropertyNameTable::Shared();
    CsvLine line;
    line.number = number;
    line.propertyName = names.PropertyName(property.id);
    line.typeName = names.TypeName(property.type);
    line.size = property.bytes.size();
    line.data = EscapeCsvValue(ValueText(property, variant));
    return line;
}

}  // namespace

void WritePropertyCsv(const std::filesystem::path& directory, std::u16string_view baseName,
                      std::span<const PropertyView> properties, const ValueResolver& resolve,
                      CsvFlavor flavor) {
    CsvTextFile file(directory / common::PathFromUtf16(std::u16string(baseName) + u".csv"));
    if (!file.IsOpen()) return;
    file.Write(flavor.firstLine == CsvFirstLine::kWithFileName ? kRowFileFirstLine
                                                               : kPropertyCsvFirstLine);
    std::uint16_t number = 0;
    for (const PropertyView& property : properties) {
        CsvLine line = PropertyLine(++number, property, flavor.text);
        if (GoesToSideFile(property)) PutInSideFile(directory, property, resolve, line);
        file.Write(FormatCsvLine(line));
    }
}

}  // namespace corvex
