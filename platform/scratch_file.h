// A file for bytes kept out of memory: it has no name, so it is gone when
// closed, whatever happens to the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class ScratchFile {
public:
    ScratchFile() = default;
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile();

    // Adds bytes at the end, making the file in the folder of temporary
    // files ($TMPDIR, else /tmp) at first use. 0 or the error code.
    std::int32_t Append(std::string_view bytes);
    // Appends to out the size bytes at offset. 0 or the error code.
    std::int32_t ReadAt(std::uint64_t offset, std::size_t size, std::string& out);
    // Empties the file, giving its disk space back.
    void Clear() noexcept;
    std::uint64_t Size() const noexcept { return size_; }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace platform
