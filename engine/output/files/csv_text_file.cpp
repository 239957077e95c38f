#include "engine/output/files/csv_text_file.h"

#include <string>

#include "common/utf16_text.h"

namespace corvex {

CsvTextFile::CsvTextFile(const std::filesystem::path& path)
    : file_(path, std::ios::binary | std::ios::trunc) {}

void CsvTextFile::Write(std::u16string_view text) {
    const std::string utf8 = common::Utf16ToUtf8(text);
    std::string bytes;
    bytes.reserve(utf8.size() + 8);
    for (const char c : utf8) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace corvex
