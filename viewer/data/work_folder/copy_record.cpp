#include "viewer/data/work_folder/copy_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace velmora {
namespace {

constexpr char kRecordHeading[] = "velmora copy record 1";
// A record is a few short lines; anything longer is not one of ours.
constexpr std::size_t kMaxRecordBytes = 4096;
constexpr std::size_t kMaxNameBytes = 1024;

// FNV-1a, 64 bits: together with size, time and file identity it tells an
// unchanged copy from an edited one.
constexpr std::uint64_t kHashStart = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kHashPrime = 0x100000001b3ULL;

std::uint64_t HashMore(std::uint64_t hash, const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= kHashPrime;
    }
    return hash;
}

bool SameState(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void SetState(CopyRecord& record, const struct stat& info) {
    record.size = static_cast<std::uint64_t>(info.st_size);
    record.modifiedSeconds = info.st_mtim.tv_sec;
    record.modifiedNanoseconds = info.st_mtim.tv_nsec;
    record.device = static_cast<std::uint64_t>(info.st_dev);
    record.inode = static_cast<std::uint64_t>(info.st_ino);
}

// Hashes the whole file; false when it did not read exactly `size` bytes.
bool HashFile(int file, std::uint64_t size, std::uint64_t& hash) {
    hash = kHashStart;
    char buffer[1 << 16];
    std::uint64_t total = 0;
    for (;;) {
        const ssize_t got = ::read(file, buffer, sizeof buffer);
        if (got < 0) return false;
        if (got == 0) break;
        hash = HashMore(hash, buffer, static_cast<std::size_t>(got));
        total += static_cast<std::uint64_t>(got);
        if (total > size) return false;
    }
    return total == size;
}

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += kDigits[c >> 4];
        text += kDigits[c & 15];
    }
    return text;
}

std::optional<std::string> FromHex(const std::string& text) {
    if (text.size() % 2 != 0 || text.size() > 2 * kMaxNameBytes) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        if (std::sscanf(text.substr(i, 2).c_str(), "%2x", &value) != 1) return std::nullopt;
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::string Serialized(const CopyRecord& record) {
    char numbers[256];
    std::snprintf(numbers, sizeof numbers,
                  "size %" PRIu64 "\nmodified %" PRId64 " %" PRId64 "\nfile %" PRIu64 " %" PRIu64
                  "\nhash %016" PRIx64 "\n",
                  record.size, record.modifiedSeconds, record.modifiedNanoseconds, record.device,
                  record.inode, record.hash);
    return std::string(kRecordHeading) + "\nname " + Hex(record.name) + "\n" + numbers;
}

std::optional<CopyRecord> Parsed(const std::string& text) {
    std::istringstream lines(text);
    std::string heading, word, hexName, hashText;
    std::getline(lines, heading);
    CopyRecord record;
    lines >> word >> hexName >> word >> record.size >> word >> record.modifiedSeconds >>
        record.modifiedNanoseconds >> word >> record.device >> record.inode >> word >> hashText;
    if (!lines || heading != kRecordHeading || hashText.size() != 16) return std::nullopt;
    const std::optional<std::string> name = FromHex(hexName);
    // A plain name inside the copy's folder, never a way out of it.
    if (!name || name->empty() || *name == "." || *name == ".." ||
        name->find_first_of(std::string("/\0", 2)) != std::string::npos)
        return std::nullopt;
    record.name = *name;
    if (std::sscanf(hashText.c_str(), "%16" SCNx64, &record.hash) != 1) return std::nullopt;
    // Only the exact form written counts: anything else is kept, not trusted.
    if (Serialized(record) != text) return std::nullopt;
    return record;
}

}  // namespace

std::optional<CopyRecord> RecordOf(const std::filesystem::path& copy) {
    const int file = ::open(copy.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) return std::nullopt;
    struct stat before {
    }, after{};
    CopyRecord record;
    record.name = copy.filename().string();
    const bool read = ::fstat(file, &before) == 0 && S_ISREG(before.st_mode) &&
                      HashFile(file, static_cast<std::uint64_t>(before.st_size), record.hash) &&
                      ::fstat(file, &after) == 0 && SameState(before, after);
    ::close(file);
    if (!read) return std::nullopt;
    SetState(record, after);
    return record;
}

bool WriteCopyRecord(const CopyRecord& record, const std::filesystem::path& recordFile) {
    std::filesystem::path partial = recordFile;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << Serialized(record);
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            return false;
        }
    }
    std::error_code failed;
    std::filesystem::rename(partial, recordFile, failed);
    if (failed) std::filesystem::remove(partial, failed);
    return !failed;
}

std::optional<CopyRecord> ReadCopyRecord(const std::filesystem::path& recordFile) {
    std::error_code failed;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(recordFile, failed)))
        return std::nullopt;
    std::ifstream in(recordFile, std::ios::binary);
    std::string text(kMaxRecordBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0 || got > kMaxRecordBytes) return std::nullopt;
    text.resize(got);
    return Parsed(text);
}

bool IsUnchanged(const std::filesystem::path& copy, const CopyRecord& record) {
    // Size, time and identity first: an edited copy is told without reading it.
    struct stat info {};
    if (::lstat(copy.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    CopyRecord now = record;
    SetState(now, info);
    if (!(now == record)) return false;
    const std::optional<CopyRecord> read = RecordOf(copy);
    return read && *read == record;
}

}  // namespace velmora
