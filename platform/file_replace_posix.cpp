#include "platform/file_replace.h"

#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>

namespace platform {

namespace {

using Step = ReplaceResult::Step;

ReplaceResult Fail(Step step, std::int32_t code) { return {step, code}; }

// The folder part of a path ("." for a bare name) and the name part.
void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
    } else {
        folder = slash == 0 ? "/" : path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

// Follows path while it names a symbolic link, each relative target read
// from the folder that holds its link, to the first name that is no link: the
// file to replace, or to create where a dangling link points, so the links
// stay. 0, or the code of a chain of links that does not end.
std::int32_t FollowLinks(std::string& path) {
    // As many links as the system itself follows in one path.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return ErrorCodeFromErrno(errno);
        target.resize(static_cast<std::size_t>(n));
        if (target.empty()) return err::kPathNotFound;
        // Relative to the link's folder: the path up to its last slash.
        if (target.front() != '/') target.insert(0, path, 0, path.find_last_of('/') + 1);
        path = std::move(target);
    }
    return ErrorCodeFromErrno(ELOOP);
}

// The permission bits a file made now gets, from the process's umask. Read
// from /proc, as setting the umask to learn it would race with other threads.
mode_t NewFileMode() {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    unsigned mask = 022;
    if (status != nullptr) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
        }
        std::fclose(status);
    }
    return 0666 & ~static_cast<mode_t>(mask);
}

// The new file, removed again unless it has been put in place.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    // Makes a new, hidden file in folder; returns 0 or the error code.
    std::int32_t Create(const std::string& folder, mode_t mode) {
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[40];
            std::snprintf(name, sizeof name, ".~norvane-%016llx.tmp", static_cast<unsigned long long>(random()));
            std::string path = folder + "/" + name;
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
            if (fd >= 0) {
                fd_ = fd;
                path_ = std::move(path);
                return 0;
            }
            if (errno != EEXIST) return ErrorCodeFromErrno(errno);
        }
        return err::kAccessDenied;
    }

    std::int32_t WriteAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                return ErrorCodeFromErrno(errno);
            }
            if (n == 0) return err::kDiskFull;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return 0;
    }

    // Gives the new file the earlier file's owner (where allowed) and mode.
    std::int32_t TakeOver(const struct stat& earlier) {
        // Giving a file away takes privilege; without it the new file stays ours.
        [[maybe_unused]] const int given = ::fchown(fd_, earlier.st_uid, earlier.st_gid);
        return SetMode(earlier.st_mode & 07777);
    }

    std::int32_t SetMode(mode_t mode) { return ::fchmod(fd_, mode) == 0 ? 0 : ErrorCodeFromErrno(errno); }

    // Flushes the bytes to the disk and closes the file.
    std::int32_t Finish() {
        const int fd = fd_;
        fd_ = -1;
        if (::fsync(fd) != 0) {
            const int error = errno;
            ::close(fd);
            return ErrorCodeFromErrno(error);
        }
        return ::close(fd) == 0 ? 0 : ErrorCodeFromErrno(errno);
    }

    // Renames the file over target; afterwards it is no longer removed.
    std::int32_t PutInPlace(const std::string& target) {
        if (::rename(path_.c_str(), target.c_str()) != 0) return ErrorCodeFromErrno(errno);
        path_.clear();
        return 0;
    }

private:
    int fd_ = -1;
    std::string path_;
};

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

ReplaceResult ReplaceFile(std::string_view path, std::string_view bytes) {
    if (path.empty()) return Fail(Step::Create, err::kPathNotFound);
    std::string target(path);
    if (const auto code = FollowLinks(target)) return Fail(Step::Create, code);
    std::string folder, name;
    SplitPath(target, folder, name);
    if (name.empty() || name == "." || name == "..") return Fail(Step::Create, err::kAccessDenied);
    if (name.size() > NAME_MAX) return Fail(Step::Create, err::kFilenameTooLong);

    // An existing target must be a regular file that may be written; it is
    // never exchanged for a file while it is a folder, a device or read-only.
    struct stat earlier {};
    const bool replacing = ::stat(target.c_str(), &earlier) == 0;
    if (replacing) {
        if (!S_ISREG(earlier.st_mode)) return Fail(Step::Create, err::kAccessDenied);
        if ((earlier.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            return Fail(Step::Create, err::kAccessDenied);
        }
    } else if (errno != ENOENT) {
        return Fail(Step::Create, ErrorCodeFromErrno(errno));
    }

    // Private while it is filled: the listing may be a private file's
    // replacement. Its final mode is given once every byte is in.
    TemporaryFile file;
    if (const auto code = file.Create(folder, 0600)) {
        // The name is new by construction: "not found" can only be the folder.
        return Fail(Step::Create, code == err::kFileNotFound ? err::kPathNotFound : code);
    }
    if (const auto code = file.WriteAll(bytes)) return Fail(Step::Write, code);
    if (const auto code = replacing ? file.TakeOver(earlier) : file.SetMode(NewFileMode())) {
        return Fail(Step::Write, code);
    }
    if (const auto code = file.Finish()) return Fail(Step::Write, code);
    if (const auto code = file.PutInPlace(target)) return Fail(Step::Create, code);
    SyncFolder(folder);
    return {};
}

}  // namespace platform
