#include "core/line_reader.h"

#include "core/io_check.h"

#include <cstring>

namespace core {

namespace {
constexpr char kCR = 0x0D;
constexpr char kLF = 0x0A;
constexpr char kCtrlZ = 0x1A;
}  // namespace

void LineReader::Open(std::string_view path) {
    const auto nul = path.find('\0');
    if (nul != std::string_view::npos) path = path.substr(0, nul);
    if (path.size() > kMaxPath) path = path.substr(0, kMaxPath);

    if (reading_) Close();
    pos_ = end_ = 0;
    const std::int32_t code = path.empty() ? file_.OpenStandardInput() : file_.OpenExisting(path);
    if (code != 0) {
        SetPendingIOCode(code);
        return;
    }
    buffer_.resize(file_.IsRegularFile() ? kFileBlock : kStreamBlock);
    reading_ = true;
}

// Reads the next block. False when the read failed: the code is pending and
// the buffer stays empty, so the next look asks the platform again.
bool LineReader::Fill() {
    pos_ = end_ = 0;
    std::size_t got = 0;
    const std::int32_t code = file_.Read(buffer_.data(), buffer_.size(), got);
    if (code != 0 && code != platform::err::kBrokenPipe) {
        SetPendingIOCode(code);
        return false;
    }
    if (code != 0 || got == 0) {
        // The end mark makes the end of the file read like a Ctrl-Z.
        buffer_[0] = kCtrlZ;
        end_ = 1;
    } else {
        end_ = got;
    }
    return true;
}

// The next byte without consuming it; a failed read looks like a Ctrl-Z.
bool LineReader::Look(unsigned char& byte) {
    if (pos_ >= end_ && !Fill()) {
        byte = kCtrlZ;
        return false;
    }
    byte = static_cast<unsigned char>(buffer_[pos_]);
    return true;
}

void LineReader::ReadLine(std::string& line) {
    line.clear();
    if (!reading_) {
        SetPendingIOCode(kIoFileNotOpenForInput);
        return;
    }
    // Collect up to the CR or the Ctrl-Z, whichever comes first.
    for (;;) {
        unsigned char byte;
        if (!Look(byte)) return;
        const char* start = buffer_.data() + pos_;
        std::size_t avail = end_ - pos_;
        if (const void* cr = std::memchr(start, kCR, avail)) avail = static_cast<const char*>(cr) - start;
        if (const void* z = std::memchr(start, kCtrlZ, avail)) avail = static_cast<const char*>(z) - start;
        line.append(start, avail);
        pos_ += avail;
        if (pos_ < end_) break;
    }
    if (buffer_[pos_] == kCtrlZ) return;
    ++pos_;  // the CR
    unsigned char next;
    if (Look(next) && next == kLF) ++pos_;
}

bool LineReader::AtEnd() {
    if (!reading_) {
        SetPendingIOCode(kIoFileNotOpenForInput);
        return true;
    }
    unsigned char byte;
    return !Look(byte) || byte == kCtrlZ;
}

void LineReader::Close() {
    if (!reading_) {
        SetPendingIOCode(kIoFileNotOpen);
        return;
    }
    reading_ = false;
    if (const std::int32_t code = file_.Close()) SetPendingIOCode(code);
}

void Reset(LineReader& reader, std::string_view path) {
    reader.Open(path);
    CheckIO();
}

void ReadLn(LineReader& reader, std::string& line) {
    reader.ReadLine(line);
    CheckIO();
}

bool Eof(LineReader& reader) {
    const bool end = reader.AtEnd();
    CheckIO();
    return end;
}

void CloseFile(LineReader& reader) {
    reader.Close();
    CheckIO();
}

}  // namespace core
