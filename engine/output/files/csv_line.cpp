#include "engine/output/files/csv_line.h"

#include <string>

namespace corvex {
namespace {

std::u16string DecimalText(std::size_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
    for (std::size_t at = text.find(from); at != std::u16string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::u16string FormatCsvLine(const CsvLine& line) {
    std::u16string text = DecimalText(line.number);
    text += u", " + line.propertyName;
    text += u", " + line.typeName;
    text += u", " + DecimalText(line.size);
    text += u", " + line.data;
    text += line.inFile ? u", IsInFile: Yes" : u", IsInFile: No";
    text += u", " + line.fileName;
    text += u'\n';
    return text;
}

std::u16string EscapeCsvValue(std::u16string_view value) {
    std::u16string text(value);
    ReplaceAll(text, u"\r\n", u"<rn>");
    ReplaceAll(text, u"\r", u"<r>");
    ReplaceAll(text, u"\n", u"<n>");
    ReplaceAll(text, u",", u"<Comm>");
    return text;
}

}  // namespace corvex
