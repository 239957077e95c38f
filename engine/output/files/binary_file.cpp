#include "engine/output/files/binary_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace corvex {

namespace {

// Writes all of `bytes` and closes the file; false if either fails.
bool WriteAllAndClose(int file, std::span<const std::uint8_t> bytes) {
    bool written = true;
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t got = ::write(file, bytes.data() + done, bytes.size() - done);
        if (got > 0) {
            done += static_cast<std::size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            written = false;
        }
    }
    return ::close(file) == 0 && written;
}

}  // namespace

// Straight system calls: an enumeration writes hundreds of thousands of small
// files, and a stream object's buffer and locale cost more than the write.
bool WriteBinaryFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return file >= 0 && WriteAllAndClose(file, bytes);
}

// The exclusive create is the check for a free name itself: asking first
// would cost a system call more per file, and another writer could take the
// name in between.
NewFileResult WriteNewBinaryFile(const std::filesystem::path& path,
                                 std::span<const std::uint8_t> bytes) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0) return errno == EEXIST ? NewFileResult::kTaken : NewFileResult::kFailed;
    return WriteAllAndClose(file, bytes) ? NewFileResult::kWritten : NewFileResult::kFailed;
}

}  // namespace corvex
