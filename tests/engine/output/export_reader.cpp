#include "tests/engine/output/export_reader.h"

#include <fstream>
#include <iterator>

namespace velmora::test {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

bool OnlyCrLfLineEnds(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
    }
    return true;
}

// Six ", " separators from the left; the side-file path keeps whatever follows.
std::optional<CsvLine> SplitLine(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (int i = 0; i < 6; ++i) {
        const std::size_t comma = line.find(", ", start);
        if (comma == std::string::npos) return std::nullopt;
        fields.push_back(line.substr(start, comma - start));
        start = comma + 2;
    }
    return CsvLine{fields[0], fields[1], fields[2],         fields[3],
                   fields[4], fields[5], line.substr(start)};
}

}  // namespace

const CsvLine* CsvFile::Find(const std::string& name) const {
    for (const CsvLine& line : lines) {
        if (line.name == name) return &line;
    }
    return nullptr;
}

bool IsValidUtf8(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

CsvFile ReadCsv(const std::filesystem::path& path) {
    CsvFile csv;
    const std::string bytes = ReadAll(path);
    if (bytes.starts_with("\xEF\xBB\xBF")) csv.faults.push_back("byte-order mark");
    if (!OnlyCrLfLineEnds(bytes)) csv.faults.push_back("a line end other than CR LF");
    if (!IsValidUtf8(bytes)) csv.faults.push_back("invalid UTF-8");
    if (!bytes.ends_with("\r\n")) csv.faults.push_back("no line end at the end");
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos;
         start = end + 2, end = bytes.find("\r\n", start)) {
        const std::string line = bytes.substr(start, end - start);
        if (start == 0) {
            csv.firstLine = line;
            continue;
        }
        const std::optional<CsvLine> fields = SplitLine(line);
        if (!fields) {
            csv.faults.push_back("short line: " + line);
            continue;
        }
        if (fields->number != std::to_string(csv.lines.size() + 1))
            csv.faults.push_back("line number " + fields->number);
        csv.lines.push_back(*fields);
    }
    return csv;
}

std::string CsvDataText(std::string text) {
    ReplaceAll(text, "\r\n", "<rn>");
    ReplaceAll(text, "\r", "<r>");
    ReplaceAll(text, "\n", "<n>");
    ReplaceAll(text, ",", "<Comm>");
    return text;
}

std::set<std::string> EntryNames(const std::filesystem::path& directory) {
    std::set<std::string> names;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator(directory, error);
         !error && it != std::filesystem::directory_iterator(); ++it) {
        names.insert(it->path().filename().string());
    }
    return names;
}

std::set<std::string> RelativeTree(const std::filesystem::path& root) {
    std::set<std::string> paths;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); ++it) {
        paths.insert(std::filesystem::relative(it->path(), root).string());
    }
    return paths;
}

bool LiesInside(const std::filesystem::path& path, const std::filesystem::path& root) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    const std::filesystem::path base = std::filesystem::weakly_canonical(root, error);
    const std::filesystem::path relative = resolved.lexically_relative(base);
    return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

}  // namespace velmora::test
