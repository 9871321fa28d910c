#include "platform/file_access.h"
#include "platform/planned_reads.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <atomic>
#include <utility>

namespace platform {

std::int32_t ErrorCodeFromErrno(int e) noexcept {
    switch (e) {
    case 0: return 0;
    case ENOENT: return err::kFileNotFound;
    case ENOTDIR: return err::kPathNotFound;
    case EMFILE:
    case ENFILE: return err::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return err::kAccessDenied;
    case EBADF: return err::kInvalidHandle;
    case ENOMEM: return err::kNotEnoughMemory;
    case EBUSY:
    case ETXTBSY: return err::kSharingViolation;
    // A file that would make us wait: on a regular file, a lock held by
    // another process (or a special file that only looks regular).
    case EAGAIN: return err::kLockViolation;
    case EINVAL: return err::kInvalidParameter;
    case EPIPE: return err::kBrokenPipe;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return err::kDiskFull;
    case ENAMETOOLONG: return err::kFilenameTooLong;
    case EIO: return err::kIoDevice;
    case ELOOP: return err::kCantResolveFilename;
    default: return err::kGenFailure;
    }
}

bool SameFile(std::string_view a, std::string_view b) noexcept {
    struct stat sa {
    }, sb{};
    try {
        return ::stat(std::string(a).c_str(), &sa) == 0 && ::stat(std::string(b).c_str(), &sb) == 0 &&
               sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    } catch (...) {
        return false;  // no memory for the paths
    }
}

std::optional<std::uint64_t> RegularFileSize(std::string_view path) {
    const std::string native(path);
    struct stat st {};
    if (native.empty() || ::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

namespace {

// A missing folder on the way is "path not found" on the home platform, a
// missing last name "file not found"; POSIX says ENOENT for both.
std::int32_t NotFoundCode(const std::string& native) {
    const auto slash = native.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return err::kFileNotFound;
    struct stat st {};
    const std::string parent = native.substr(0, slash);
    if (::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return err::kPathNotFound;
    return err::kFileNotFound;
}

std::int32_t OpenErrorCode(int e, const std::string& native) {
    return e == ENOENT ? NotFoundCode(native) : ErrorCodeFromErrno(e);
}

}  // namespace

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)), owned_(other.owned_), regular_(other.regular_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        owned_ = other.owned_;
        regular_ = other.regular_;
    }
    return *this;
}

File::~File() { Close(); }

std::int32_t File::OpenExisting(std::string_view path) {
    Close();
    if (path.empty()) return err::kPathNotFound;
    const std::string native(path);

    // Refuse anything but a regular file before opening it: opening a FIFO
    // would wait for a writer, and opening a device may act on it.
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) return OpenErrorCode(errno, native);
    if (!S_ISREG(st.st_mode)) return err::kAccessDenied;

    // O_NONBLOCK guards against the name being swapped for a FIFO in between,
    // and stays: a read that would wait fails instead (see Read).
    const int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return OpenErrorCode(errno, native);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return err::kAccessDenied;
    }
    fd_ = fd;
    owned_ = true;
    regular_ = true;
    return 0;
}

std::int32_t File::OpenStandardInput() {
    Close();
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0) return err::kInvalidHandle;
    fd_ = STDIN_FILENO;
    owned_ = false;
    regular_ = false;
    return 0;
}

namespace {

std::atomic<std::uint64_t> readsToFailure{0};
std::atomic<int> plannedErrno{0};
std::atomic<std::size_t> readCap{0};

}  // namespace

bool PlannedFailure() noexcept {
    std::uint64_t left = readsToFailure.load(std::memory_order_relaxed);
    while (left != 0 && !readsToFailure.compare_exchange_weak(left, left - 1)) {}
    if (left != 1) return false;
    errno = plannedErrno.load();
    return true;
}

bool ReadsCapped() noexcept { return readCap.load(std::memory_order_relaxed) != 0; }

namespace {

// ::read, or the failure a test planned for this read.
ssize_t ReadOrPlannedFailure(int fd, void* buffer, std::size_t size) {
    if (PlannedFailure()) return -1;
    const std::size_t cap = readCap.load(std::memory_order_relaxed);
    return ::read(fd, buffer, cap != 0 && cap < size ? cap : size);
}

}  // namespace

void PlanReadFailure(std::uint64_t nth, int e) noexcept {
    plannedErrno.store(e);
    readsToFailure.store(nth);
}

void PlanShortReads(std::size_t most) noexcept { readCap.store(most); }

std::int32_t File::Read(void* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    if (fd_ < 0) return err::kInvalidHandle;
    for (;;) {
        const ssize_t n = ReadOrPlannedFailure(fd_, buffer, size);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && !regular_) {
            // A non-blocking standard input: wait for data as a blocking read would.
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, -1);
            continue;
        }
        return ErrorCodeFromErrno(errno);
    }
}

std::int32_t File::ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    if (fd_ < 0) return err::kInvalidHandle;
    while (got < size) {
        const ssize_t n = PlannedFailure() ? -1
                                           : ::pread(fd_, static_cast<char*>(buffer) + got, size - got,
                                                     static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrorCodeFromErrno(errno);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return 0;
}

std::uint64_t File::Size() const noexcept {
    struct stat st {};
    if (!regular_ || ::fstat(fd_, &st) != 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

std::int32_t File::Close() {
    if (fd_ < 0) return 0;
    const int fd = std::exchange(fd_, -1);
    if (!owned_) return 0;
    return ::close(fd) == 0 ? 0 : ErrorCodeFromErrno(errno);
}

}  // namespace platform
