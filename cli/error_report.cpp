#include "cli/error_report.h"

#include "core/io_check.h"
#include "core/search/target_search.h"
#include "platform/code_page.h"
#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cli {

namespace {

// The errno that a platform code stands for, where one does; 0 when the
// code says no more than its number.
int ErrnoOf(std::int32_t code) {
    namespace err = platform::err;
    switch (code) {
    case err::kFileNotFound: return ENOENT;
    case err::kPathNotFound: return ENOTDIR;
    case err::kTooManyOpenFiles: return EMFILE;
    case err::kAccessDenied: return EACCES;
    case err::kInvalidHandle: return EBADF;
    case err::kNotEnoughMemory: return ENOMEM;
    case err::kSharingViolation: return EBUSY;
    case err::kLockViolation: return EAGAIN;
    case err::kInvalidParameter: return EINVAL;
    case err::kDiskFull: return ENOSPC;
    case err::kFilenameTooLong: return ENAMETOOLONG;
    case err::kIoDevice: return EIO;
    case err::kCantResolveFilename: return ELOOP;
    default: return 0;
    }
}

// The windows' text for a code, in UTF-8, with the system's words for e.
std::string Worded(std::int32_t code, int e) {
    std::string message = platform::CodePageToUtf8(core::InOutErrorMessage(code));
    if (e != 0) message.append(" (").append(std::strerror(e)).append(")");
    return message;
}

// What a file that is no regular file is, for a refusal; empty for a
// regular file.
std::string Kind(mode_t mode) {
    if (S_ISDIR(mode)) return "Is a directory (give -r to search the files in it)";
    const char* kind = S_ISFIFO(mode)                   ? "a FIFO"
                       : S_ISSOCK(mode)                 ? "a socket"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISREG(mode)                  ? nullptr
                                                        : "no regular file";
    if (kind == nullptr) return std::string();
    // Reading one could wait for ever, or act on a device.
    return std::string(kind) + ", not read: only regular files and standard input (-) are searched";
}

}  // namespace

std::string FileErrorMessage(const std::string& path, std::int32_t code) {
    const std::string_view name = core::TargetName(path);
    if (name.size() != path.size()) return Worded(code, ErrnoOf(code));  // standard input
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Worded(code, errno);
    if (std::string kind = Kind(st.st_mode); !kind.empty()) return kind;
    if (code == platform::err::kAccessDenied) {
        // The open that failed, again, for the system's reason.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        const int e = fd < 0 ? errno : 0;
        if (fd >= 0) ::close(fd);
        return Worded(code, e);
    }
    return Worded(code, ErrnoOf(code));
}

std::string SystemErrorMessage(int errorNumber) {
    return Worded(platform::ErrorCodeFromErrno(errorNumber), errorNumber);
}

void ReportFileError(std::string_view name, std::string_view message) {
    std::string line = "norvane-search: ";
    line.append(name).append(": ").append(message).append("\n");
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void ReportError(std::string_view message) {
    std::string line = "norvane-search: ";
    line.append(message).append("\n");
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace cli
