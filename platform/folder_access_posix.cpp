#include "platform/folder_access.h"

#include "platform/file_access.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

#include <memory>

namespace platform {

namespace {

// A missing last folder is "file not found" on the home platform, a missing
// folder on the way "path not found"; POSIX says ENOENT for both.
std::int32_t FolderErrorCode(int e, const std::string& native) {
    if (e != ENOENT) return ErrorCodeFromErrno(e);
    auto end = native.find_last_not_of('/');
    if (end == std::string::npos) return err::kFileNotFound;
    const auto slash = native.find_last_of('/', end);
    if (slash == std::string::npos || slash == 0) return err::kFileNotFound;
    struct stat st {};
    const std::string parent = native.substr(0, slash);
    if (::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return err::kPathNotFound;
    return err::kFileNotFound;
}

EntryKind KindOf(int dirFd, const dirent& entry) {
    switch (entry.d_type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat st {};
        if (::fstatat(dirFd, entry.d_name, &st, 0) != 0) return EntryKind::Other;
        if (S_ISREG(st.st_mode)) return EntryKind::File;
        if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
        return EntryKind::Other;
    }
    default: return EntryKind::Other;
    }
}

struct DirCloser {
    void operator()(DIR* dir) const noexcept { ::closedir(dir); }
};

}  // namespace

std::int32_t ReadFolderEntries(std::string_view path, std::vector<FolderEntry>& entries) {
    entries.clear();
    if (path.empty()) return err::kPathNotFound;
    const std::string native(path);

    // O_NONBLOCK: a FIFO in place of the folder must never be waited on.
    const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FolderErrorCode(errno, native);
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        const int e = errno;
        ::close(fd);
        return ErrorCodeFromErrno(e);
    }
    if (::faccessat(fd, ".", X_OK, 0) != 0) return ErrorCodeFromErrno(errno);

    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0) {
                const int e = errno;
                entries.clear();
                return ErrorCodeFromErrno(e);
            }
            break;
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        entries.push_back({std::string(name), KindOf(fd, *entry)});
    }
    return 0;
}

std::int32_t SetCurrentFolder(std::string_view path) {
    if (path.empty()) return err::kPathNotFound;
    const std::string native(path);
    if (::chdir(native.c_str()) != 0) return FolderErrorCode(errno, native);
    return 0;
}

std::int32_t RealPath(std::string_view path, std::string& real) {
    real.clear();
    if (path.empty()) return err::kPathNotFound;
    const std::string native(path);
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(native.c_str(), nullptr), &std::free);
    if (!resolved) return FolderErrorCode(errno, native);
    real = resolved.get();
    return 0;
}

std::string CurrentFolder() {
    std::string buffer(4096, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size())) break;
        if (errno != ERANGE || buffer.size() > (1u << 20)) return "/";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    // Linux writes "(unreachable)" before a folder outside the process's root.
    if (buffer.empty() || buffer.front() != '/') return "/";
    return buffer;
}

}  // namespace platform
