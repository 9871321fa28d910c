// A regular file's bytes read where the system keeps them, instead of being
// copied into a buffer block by block: for a large file the copy costs more
// than the search. The bytes are the file's as it was when mapped. A file
// that shrinks under the mapping is never a crash: the bytes it lost read as
// zeros, and Shrunk tells it.
#pragma once

#include "platform/file_access.h"

#include <cstddef>
#include <cstdint>

namespace platform {

class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { Unmap(); }

    // Maps the first size bytes of file, an open regular file that stays
    // open while mapped, and one writable byte after them (for an end mark).
    // False, with nothing mapped, when the system can't map it, or while a
    // test caps reads: read the file then.
    bool Map(const File& file, std::uint64_t size);
    void Unmap() noexcept;

    bool IsMapped() const noexcept { return bytes_ != nullptr; }
    // Size() bytes of the file, then the writable byte.
    char* Bytes() const noexcept { return bytes_; }
    std::uint64_t Size() const noexcept { return size_; }

    // The bytes before upTo are about to be read: they are brought in, as a
    // read would. 0, or the code of a failure: the device's (a page of the
    // file that could not be read, also one met since the last call), or one
    // a test planned for a read (each call counts as one).
    std::int32_t Reach(std::uint64_t upTo) noexcept;
    // Whether the file has shrunk under the bytes reached, as the last Reach
    // found: those it lost read as zeros.
    bool Shrunk() const noexcept { return shrunk_; }
    // The bytes of [from, to) are done with: the memory of the whole pages
    // among them is given back (a read of them again still gives the file's
    // bytes).
    void Release(std::uint64_t from, std::uint64_t to) noexcept;

private:
    char* bytes_ = nullptr;
    std::uint64_t size_ = 0;
    std::size_t mapped_ = 0;     // the reserved bytes, whole pages
    std::uint64_t reached_ = 0;  // the bytes brought in so far
    bool shrunk_ = false;
    int slot_ = -1;  // where the bus-error handler finds the mapping
    int fd_ = -1;    // the file's, which outlives the mapping
};

}  // namespace platform
