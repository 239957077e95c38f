// The text files of the folder export: UTF-8 without a byte-order mark, every
// "\n" written as CR LF, as the Windows text mode always did for these files.
#pragma once

#include <filesystem>
#include <fstream>
#include <string_view>

namespace corvex {

class CsvTextFile {
  public:
    // Creates or truncates the file. Check IsOpen(): a file that cannot be
    // opened is skipped silently by the export.
    explicit CsvTextFile(const std::filesystem::path& path);

    bool IsOpen() const { return file_.is_open(); }

    // Lone surrogates in `text` are written as U+FFFD.
    void Write(std::u16string_view text);

  private:
    std::ofstream file_;
};

}  // namespace corvex
