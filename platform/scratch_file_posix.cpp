#include "platform/scratch_file.h"

#include "platform/file_access.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

// An unnamed file in folder: O_TMPFILE, or a named one removed at once where
// the file system has no unnamed ones.
int OpenUnnamed(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
    std::string name = folder + "/.~norvane-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0) ::unlink(name.c_str());
    return named;
}

}  // namespace

ScratchFile::~ScratchFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::int32_t ScratchFile::Append(std::string_view bytes) {
    if (fd_ < 0) {
        const char* tmp = std::getenv("TMPDIR");
        fd_ = OpenUnnamed(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
        if (fd_ < 0) return ErrorCodeFromErrno(errno);
    }
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(size_));
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrorCodeFromErrno(errno);
        }
        if (n == 0) return err::kDiskFull;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        size_ += static_cast<std::uint64_t>(n);
    }
    return 0;
}

std::int32_t ScratchFile::ReadAt(std::uint64_t offset, std::size_t size, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd_, out.data() + at + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            out.resize(at + got);
            return n < 0 ? ErrorCodeFromErrno(errno) : err::kIoDevice;
        }
        got += static_cast<std::size_t>(n);
    }
    return 0;
}

void ScratchFile::Clear() noexcept {
    if (fd_ >= 0 && size_ > 0 && ::ftruncate(fd_, 0) == 0) size_ = 0;
}

}  // namespace platform
