// Reads a text file line by line, as bytes.
//
// A line ends at CR LF or at a lone CR; an LF anywhere else is part of the
// line; a Ctrl-Z (in the file, or the end mark written at the end of the file)
// ends the text and is never consumed, so the reader stays at it for good.
//
// The four raw operations record a failure in the pending I/O code and carry
// on; callers use the guarded forms below (Reset, ReadLn, Eof, CloseFile),
// which raise EInOutError right after a failed operation.
#pragma once

#include "platform/file_access.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace core {

class LineReader {
public:
    // Pipes and standard input are read one small block at a time, so a
    // reader never takes more than one block of a stream ahead of its need.
    static constexpr std::size_t kStreamBlock = 128;
    // Regular files are read in large blocks: the bytes are the same.
    static constexpr std::size_t kFileBlock = 256 * 1024;
    // Longer paths are cut to this many bytes.
    static constexpr std::size_t kMaxPath = 259;

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a file, or standard input for an empty path. Closes first when open.
    void Open(std::string_view path);
    // Replaces line with the next line, without its line end.
    void ReadLine(std::string& line);
    // True when the text has ended; never consumes a byte.
    bool AtEnd();
    void Close();

    bool IsReading() const noexcept { return reading_; }

private:
    bool Fill();
    bool Look(unsigned char& byte);

    platform::File file_;
    bool reading_ = false;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// The guarded calls.
void Reset(LineReader& reader, std::string_view path);
void ReadLn(LineReader& reader, std::string& line);
bool Eof(LineReader& reader);
void CloseFile(LineReader& reader);

// Opens path, runs body(reader) and closes the file on every way out. An
// error from the body passes through the close; a failing close replaces it,
// as the close is itself a guarded call.
template <class Body>
decltype(auto) WithTextFile(LineReader& reader, std::string_view path, Body&& body) {
    Reset(reader, path);
    try {
        if constexpr (std::is_void_v<decltype(body(reader))>) {
            body(reader);
            CloseFile(reader);
        } else {
            decltype(auto) result = body(reader);
            CloseFile(reader);
            return result;
        }
    } catch (...) {
        if (reader.IsReading()) CloseFile(reader);
        throw;
    }
}

}  // namespace core
