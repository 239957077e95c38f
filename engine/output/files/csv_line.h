// One line of a PropertyCsv or row file: seven fields joined by ", ".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvex {

inline constexpr std::u16string_view kPropertyCsvFirstLine =
    u"Sr.No,Property Type,Data type,Data Size,Data,Internal Data \n";
inline constexpr std::u16string_view kRowFileFirstLine =
    u"Sr.No,Property Type,Data type,Data Size,Data,Internal Data,File Name \n";

struct CsvLine {
    std::uint16_t number = 0;  // 1-based; wraps after 65535 like the files always did
    std::u16string propertyName;
    std::u16string typeName;
    std::size_t size = 0;  // bytes of the value as held
    std::u16string data;
    bool inFile = false;      // the value went to a side file
    std::u16string fileName;  // that side file, or empty
};

// The line with its "\n".
std::u16string FormatCsvLine(const CsvLine& line);

// Keeps a value on one line and in one field of a PropertyCsv: "\r\n" becomes
// "<rn>", then "\r" "<r>", "\n" "<n>" and "," "<Comm>".
std::u16string EscapeCsvValue(std::u16string_view text);

}  // namespace corvex
