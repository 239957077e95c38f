#include "engine/storage/store_file.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace corvex {
namespace {

#ifdef _WIN32
long long PositionedRead(int fd, std::uint8_t* out, std::size_t size, std::uint64_t offset) {
    // The engine takes no locks and runs one export at a time per library, so a
    // seek followed by a read cannot interleave with another reader.
    if (_lseeki64(fd, static_cast<long long>(offset), SEEK_SET) < 0) return -1;
    return _read(fd, out, static_cast<unsigned>(size));
}
#else
long long PositionedRead(int fd, std::uint8_t* out, std::size_t size, std::uint64_t offset) {
    return ::pread(fd, out, size, static_cast<off_t>(offset));
}
#endif

}  // namespace

StoreFile::~StoreFile() {
    Close();
}

bool StoreFile::Open(const std::string& path, std::string& errorText) {
    Close();
#ifdef _WIN32
    fd_ = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    if (fd_ < 0) {
        errorText = std::strerror(errno);
        return false;
    }
    struct stat info {};
    const bool statOk = ::fstat(fd_, &info) == 0;
    if (!statOk || S_ISDIR(info.st_mode)) {
        errorText = std::strerror(statOk ? EISDIR : errno);
        Close();
        return false;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    cache_.Reset([this](std::uint64_t offset, std::uint8_t* out,
                        std::size_t size) { return ReadDirect(offset, out, size); },
                 size_);
    return true;
}

void StoreFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    cache_.Reset({}, 0);
}

std::size_t StoreFile::ReadDirect(std::uint64_t offset, std::uint8_t* out, std::size_t size) const {
    std::size_t done = 0;
    while (fd_ >= 0 && done < size && offset < size_ && done < size_ - offset) {
        const long long got = PositionedRead(fd_, out + done, size - done, offset + done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void StoreFile::ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) const {
    // A read of a chunk or more gains nothing from the cache and would only
    // push out the chunks the small reads around it still need.
    if (size < ChunkCache::kChunkSize) return cache_.Read(offset, out, size);
    const std::size_t done = ReadDirect(offset, out, size);
    if (done < size) std::memset(out + done, 0, size - done);
}

std::vector<std::uint8_t> StoreFile::ReadAt(std::uint64_t offset, std::size_t size) const {
    std::vector<std::uint8_t> buffer(size);
    ReadAt(offset, buffer.data(), size);
    return buffer;
}

}  // namespace corvex
