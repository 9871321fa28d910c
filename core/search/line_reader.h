// Reads a text file line by line, as bytes.
//
// A line ends at CR LF or at a lone CR; an LF anywhere else is part of the
// line, unless the text form says that a lone LF ends a line too; a Ctrl-Z
// (in the file, or the end mark written at the end of the file) ends the
// text and is never consumed, so the reader stays at it for good. A text
// form found in the file is found on opening it, from its first bytes; a
// byte order mark is then no part of line 1, and UTF-16 is read as UTF-8,
// turned a block at a time as it is read.
//
// A failed operation raises EInOutError with the platform's code (103 and
// 104 when the reader is not open), right at the call that failed. The block
// access for scans instead records the code as pending (see io_check.h) and
// answers false, so that a scan can keep what it found before the failure.
#pragma once

#include "core/run_progress.h"
#include "core/search/read_buffer.h"
#include "core/search/read_ways.h"
#include "core/search/text_form.h"
#include "platform/encoding_detection.h"
#include "platform/file_access.h"
#include "platform/mapped_file.h"
#include "platform/utf16_decoder.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace core {

class LineReader {
public:
    // Pipes and standard input are read one small block at a time, so a
    // reader never takes more than one block of a stream ahead of its need.
    static constexpr std::size_t kStreamBlock = 128;
    // Regular files are read in large blocks: the bytes are the same.
    static constexpr std::size_t kFileBlock = 256 * 1024;

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a file, or standard input for an empty path. Closes first when
    // open. The path ends at its first NUL and is otherwise opened whole: one
    // too long for the system fails with its error, never opens another file.
    void Open(std::string_view path);
    // Replaces line with the next line, without its line end.
    void ReadLine(std::string& line);
    // The same without a copy: line views the reader's buffer and stays
    // valid until the next call on the reader. Only the line's first most
    // bytes are kept: the rest of a longer line is read past, not held.
    void ReadLineView(std::string_view& line, std::size_t most = std::string_view::npos);
    // The next line's first bytes, at most most of them, reading no further
    // than they need and consuming nothing: true when the whole line is in
    // head, false when it goes on past most bytes or a read failed (then its
    // code is pending).
    bool PeekLine(std::string_view& head, std::size_t most);
    // True when the text has ended; never consumes a byte. A failed read
    // raises.
    bool AtEnd();
    void Close();

    bool IsReading() const noexcept { return reading_; }
    // How the text is written; set before Open. A form to be found is found
    // by Open. The scans read the encoding here (UTF-8 for a UTF-16 file);
    // the reader itself honours the line ends.
    void SetForm(const TextForm& form) noexcept { form_ = given_ = form; }
    // The ways of the search this reader is one of (none: nullptr): a large
    // file opened then is read the way they say, and its reading timed for
    // them. Without them a large file is read where it lies. Set before Open.
    void SetWays(ReadWays* ways) noexcept { ways_ = ways; }
    const TextForm& Form() const noexcept { return form_; }
    // The size of the open regular file; 0 for a stream.
    std::uint64_t FileBytes() const noexcept { return file_.Size(); }
    // Every block read is reported to progress (none: nullptr), the first
    // bytes that Open read at once; when it asks to stop, the read raises
    // EAbort.
    void SetProgress(RunProgress* progress);

    // Block access for scans that work on many lines at once; the bytes are
    // the ones ReadLine sees. The bytes read but not consumed yet: at the end
    // of the file the reader adds a Ctrl-Z, so the text always ends at a
    // Ctrl-Z in these bytes.
    std::string_view Unconsumed() const noexcept { return {Data() + pos_, end_ - pos_}; }
    // Where the unconsumed bytes start in the file (or stream).
    std::uint64_t UnconsumedOffset() const noexcept { return read_ - (end_ - pos_) + (endMarked_ ? 1 : 0); }
    // Drops the first n unconsumed bytes; never drop a Ctrl-Z.
    void Consume(std::size_t n) noexcept { pos_ += n; }
    // Reads the next block behind the unconsumed bytes (which may move).
    // False when the read failed: the code is then pending. Raises EAbort
    // when the progress sink asks to stop.
    bool ReadMore();
    // Whether consumed bytes can be read again (a regular file can, a stream
    // can't), and the reading again: out gets the size bytes at offset, or
    // fewer where the file has shrunk since. False when the read failed: the
    // code is then pending.
    bool CanReadAgain() const noexcept { return reading_ && file_.IsRegularFile() && !decoder_; }
    bool ReadAgain(std::uint64_t offset, std::size_t size, std::string& out);

private:
    // The operations' bodies: a failure is only recorded as pending.
    void StartReading(std::string_view path);
    void TakeLine(std::string_view& line, std::size_t most = std::string_view::npos);
    bool AtTextEnd();
    void StopReading();
    void EndLinesAtLoneLf(char* block, std::size_t size) noexcept;
    std::size_t BlockSize() const noexcept { return file_.IsRegularFile() ? kFileBlock : kStreamBlock; }
    void MakeRoom(std::size_t room);
    void SettleLineEnds() noexcept;
    bool FindForm();
    bool TakeForm(const platform::DetectedEncoding& found) noexcept;
    bool MapFile();
    void TimeReading(bool inPlace);
    bool ReachMore();
    char* Data() noexcept { return mapped_.IsMapped() ? mapped_.Bytes() : buffer_.data(); }
    const char* Data() const noexcept { return mapped_.IsMapped() ? mapped_.Bytes() : buffer_.data(); }
    void Put(const char* bytes, std::size_t size);
    void MarkEnd();
    void Report(std::uint64_t bytes);

    platform::File file_;
    TextForm given_;
    TextForm form_;
    std::optional<platform::Utf16Decoder> decoder_;  // for a UTF-16 file
    std::string raw_;                                // its bytes as read, before they are turned
    std::uint64_t unreported_ = 0;                   // bytes read before progress was given
    char lastRead_ = 0;                              // the last byte read, for an LF at the start of a block
    RunProgress* progress_ = nullptr;
    bool reading_ = false;
    ReadBuffer buffer_;
    std::size_t pos_ = 0;  // the unconsumed bytes are [pos_, end_)
    std::size_t end_ = 0;
    std::uint64_t read_ = 0;  // the bytes put in the buffer so far (as turned, for UTF-16)
    bool endMarked_ = false;  // the Ctrl-Z at end_ - 1 is the reader's end mark
    // A large file's bytes where they lie: then the unconsumed bytes are
    // [pos_, end_) of the mapping, and those before released_ are let go.
    platform::MappedFile mapped_;
    std::uint64_t released_ = 0;
    static constexpr std::uint64_t kLetGo = 4 << 20;
    ReadWays* ways_ = nullptr;
    std::uint64_t openedAt_ = 0;  // the thread's processor time when the file was opened; 0 when not timed
};

// Reports the reading of the one file of a run (open in reader) to progress,
// when given: its size as the run's total, then every block read.
inline void WatchReading(LineReader& reader, std::string_view path, RunProgress* progress) {
    if (!progress) return;
    progress->SetTotal(reader.FileBytes());
    progress->StartFile(path);
    reader.SetProgress(progress);
}

// Opens path, runs body(reader) and closes the file on every way out. An
// error from the body passes through the close; a failing close replaces it,
// as the close raises its own failure.
template <class Body>
decltype(auto) WithTextFile(LineReader& reader, std::string_view path, Body&& body) {
    reader.Open(path);
    try {
        if constexpr (std::is_void_v<decltype(body(reader))>) {
            body(reader);
            reader.Close();
        } else {
            decltype(auto) result = body(reader);
            reader.Close();
            return result;
        }
    } catch (...) {
        if (reader.IsReading()) reader.Close();
        throw;
    }
}

}  // namespace core
