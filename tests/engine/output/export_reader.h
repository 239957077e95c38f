// Reading back what the folder export wrote: its property files, line by line
// and field by field, and the tree of files below a target folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::test {

inline constexpr const char* kPlainFirstLine =
    "Sr.No,Property Type,Data type,Data Size,Data,Internal Data ";
inline constexpr const char* kRowFirstLine =
    "Sr.No,Property Type,Data type,Data Size,Data,Internal Data,File Name ";

// One property line: number, property name, type name, size, data, "IsInFile: ..." and side-file
// path.
struct CsvLine {
    std::string number, name, typeName, size, data, inFile, sideFile;
};

struct CsvFile {
    std::string firstLine;
    std::vector<CsvLine> lines;
    std::vector<std::string> faults;  // malformed bytes or lines, described

    const CsvLine* Find(const std::string& name) const;
};

// Reads a property or row file; faults name what breaks the format: a byte-order
// mark, a line end other than CR LF, invalid UTF-8, a line of fewer than seven
// fields, line numbers out of sequence.
CsvFile ReadCsv(const std::filesystem::path& path);

bool IsValidUtf8(const std::string& bytes);

// The four replacements the property files make in the data field.
std::string CsvDataText(std::string text);

// Names of the entries of a directory (not recursive).
std::set<std::string> EntryNames(const std::filesystem::path& directory);
// Paths of every file and directory below `root`, relative to it.
std::set<std::string> RelativeTree(const std::filesystem::path& root);

// True when `path`, with symbolic links and "." and ".." resolved, lies below `root`.
bool LiesInside(const std::filesystem::path& path, const std::filesystem::path& root);

}  // namespace velmora::test
