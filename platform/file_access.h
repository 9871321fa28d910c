// File access as the program's home platform offers it: open an existing file
// for reading, read blocks, close. Failures come back as that platform's
// numeric error codes so that every layer above reports the same numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The platform error codes the program meets (the rest pass through as numbers).
namespace err {
constexpr std::int32_t kFileNotFound = 2;
constexpr std::int32_t kPathNotFound = 3;
constexpr std::int32_t kTooManyOpenFiles = 4;
constexpr std::int32_t kAccessDenied = 5;
constexpr std::int32_t kInvalidHandle = 6;
constexpr std::int32_t kNotEnoughMemory = 8;
constexpr std::int32_t kGenFailure = 31;
constexpr std::int32_t kSharingViolation = 32;
constexpr std::int32_t kLockViolation = 33;
constexpr std::int32_t kInvalidParameter = 87;
constexpr std::int32_t kBrokenPipe = 109;
constexpr std::int32_t kDiskFull = 112;
constexpr std::int32_t kInvalidName = 123;
constexpr std::int32_t kFilenameTooLong = 206;
constexpr std::int32_t kIoDevice = 1117;
constexpr std::int32_t kCantResolveFilename = 1921;
}  // namespace err

// Maps a native errno value to the platform error code, once, for every caller.
std::int32_t ErrorCodeFromErrno(int e) noexcept;

// Paths are native: the bytes of a name as the system gives it (see
// native_names.h for the code-page form the windows show).

// The size of the regular file that the path names, or nothing when it names
// none (missing, a folder, a device, a path that can't be made).
std::optional<std::uint64_t> RegularFileSize(std::string_view path);

// Whether the two paths name one file (the same device and inode, links
// followed); false when either can't be looked at.
bool SameFile(std::string_view a, std::string_view b) noexcept;

// An open file or the process's standard input. Move-only; closes what it owns.
class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    // Opens an existing regular file for reading. Folders, devices, FIFOs and
    // sockets are refused with kAccessDenied and never waited on. Returns 0 or
    // the error code; on failure the File stays closed. The file stays
    // non-blocking: a "regular" file whose read would wait (/proc/kmsg, or a
    // region under another process's mandatory lock) fails at once with
    // kLockViolation, the platform's code for a read that meets a lock.
    std::int32_t OpenExisting(std::string_view path);
    // Takes the process's standard input, which is not closed by Close.
    std::int32_t OpenStandardInput();

    // Reads up to size bytes; got is 0 at the end. A pipe whose writer has
    // gone reports kBrokenPipe on the home platform; here it reads as the end.
    // Standard input waits for data, as a pipe should.
    std::int32_t Read(void* buffer, std::size_t size, std::size_t& got);

    // Reads up to size bytes at offset of a regular file, leaving where Read
    // goes on as it was; got is less than size only at the end of the file.
    std::int32_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size, std::size_t& got);

    // Releases the handle; returns the code of a failing close.
    std::int32_t Close();

    bool IsOpen() const noexcept { return fd_ >= 0; }
    // The size of an open regular file as it is now; 0 for anything else.
    std::uint64_t Size() const noexcept;
    // Regular files may be read in large blocks; pipes, terminals and standard
    // input are read one small block at a time so nothing is taken ahead of need.
    bool IsRegularFile() const noexcept { return regular_; }

private:
    friend class MappedFile;
    int fd_ = -1;
    bool owned_ = false;
    bool regular_ = false;
};

// For tests: the nth read of any File from now on (1: the next one) fails as
// if the system had answered errno e; 0 plans nothing. Reads are counted
// across threads.
void PlanReadFailure(std::uint64_t nth, int e) noexcept;
// For tests: every read of any File gives at most most bytes, as a read may;
// 0 lifts the cap.
void PlanShortReads(std::size_t most) noexcept;

}  // namespace platform
