#include "viewer/data/mail_writer/output_files.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cstring>

namespace velmora {
namespace {

OutputFailure FailureOf(const std::filesystem::path& path, int error) {
    return {path, std::strerror(error), error == EEXIST};
}

bool WriteAll(int file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(file, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool Exists(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

// Moves the complete file into place, over an existing one only when `replace` is set.
bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to,
                   bool replace) {
    if (replace) return ::rename(from.c_str(), to.c_str()) == 0;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the exclusive rename: a hard link fails just as
    // surely when the name is taken.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

}  // namespace

bool WriteWholeFile(const std::filesystem::path& target, std::string_view bytes, bool replace,
                    OutputFailure& failure, unsigned mode) {
    if (!replace && Exists(target)) {
        failure = FailureOf(target, EEXIST);
        return false;
    }
    // Hidden, and with an ending no mail program reads, until it is whole.
    const std::filesystem::path partial =
        target.parent_path() / ("." + target.filename().string() + ".partial");
    const int file =
        ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode);
    if (file < 0) {
        failure = FailureOf(target, errno);
        return false;
    }
    bool written = WriteAll(file, bytes);
    int error = errno;
    if (::close(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && MoveIntoPlace(partial, target, replace)) return true;
    if (written) error = errno;
    ::unlink(partial.c_str());
    failure = FailureOf(target, error);
    return false;
}

MboxFile::~MboxFile() {
    if (file_ >= 0) ::close(file_);
}

bool MboxFile::Create(const std::filesystem::path& target, bool replace, OutputFailure& failure) {
    path_ = target;
    size_ = 0;
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (replace ? O_TRUNC : O_EXCL);
    file_ = ::open(target.c_str(), flags, 0644);
    if (file_ < 0) failure = FailureOf(target, errno);
    return file_ >= 0;
}

bool MboxFile::Append(std::string_view entry, OutputFailure& failure) {
    if (WriteAll(file_, entry)) {
        size_ += entry.size();
        return true;
    }
    failure = FailureOf(path_, errno);
    // What the failed append left would read as a message cut short.
    if (::ftruncate(file_, static_cast<off_t>(size_)) == 0)
        ::lseek(file_, static_cast<off_t>(size_), SEEK_SET);
    return false;
}

bool MboxFile::Close(OutputFailure& failure) {
    if (file_ < 0) return true;
    const int file = file_;
    file_ = -1;
    if (::close(file) == 0) return true;
    failure = FailureOf(path_, errno);
    return false;
}

}  // namespace velmora
