#include "tools/storewriter/spool_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace velmora::storewriter {

SpoolFile::~SpoolFile() {
    Discard();
}

bool SpoolFile::Fail(const std::string& what) {
    if (error_.empty()) error_ = what + ": " + std::strerror(errno);
    return false;
}

void SpoolFile::Discard() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

bool SpoolFile::Create(const std::filesystem::path& directory) {
    std::string pattern = (directory / "velmora-store-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) return Fail("cannot create a spool file in " + directory.string());
    path_ = name.data();
    // mkstemp makes the file private; a store should get the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    return true;
}

bool SpoolFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail("cannot write the store");
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool SpoolFile::Resize(std::uint64_t size) {
    if (fd_ < 0) return false;
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return Fail("cannot size the store");
    return true;
}

bool SpoolFile::CommitAs(const std::filesystem::path& destination) {
    if (fd_ < 0) return false;
    if (::close(fd_) != 0) return Fail("cannot close the store");
    fd_ = -1;
    std::error_code error;
    std::filesystem::rename(path_, destination, error);
    if (!error) return true;
    // Another file system: copy, then drop the spool.
    std::filesystem::copy_file(path_, destination,
                               std::filesystem::copy_options::overwrite_existing, error);
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    if (error && error_.empty())
        error_ = "cannot move the store to " + destination.string() + ": " + error.message();
    return !error;
}

}  // namespace velmora::storewriter
