#include "core/search/line_reader.h"

#include "core/errors.h"
#include "core/io_check.h"
#include "core/search/text_bytes.h"
#include "platform/encoding_detection.h"
#include "platform/processor_time.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace core {

void LineReader::StartReading(std::string_view path) {
    path = UpToNul(path);
    if (reading_) StopReading();
    pos_ = end_ = 0;
    read_ = 0;
    lastRead_ = 0;
    endMarked_ = false;
    form_ = given_;
    SettleLineEnds();
    decoder_.reset();
    unreported_ = 0;
    const std::int32_t code = path.empty() ? file_.OpenStandardInput() : file_.OpenExisting(path);
    if (code != 0) {
        SetPendingIOCode(code);
        return;
    }
    reading_ = true;
    openedAt_ = 0;
    const bool large = file_.IsRegularFile() && file_.Size() >= kFileBlock;
    if (large && ways_ != nullptr) openedAt_ = platform::ThreadProcessorNanoseconds();
    if (large && (ways_ == nullptr || ways_->Next() == ReadWays::Way::InPlace) && MapFile()) return;
    // Room for a block behind a carried-over line without growing.
    buffer_.resize(2 * BlockSize());
    if (form_.found && !FindForm()) StopReading();
}

// A large file in code page 932 (or any form whose lines end at CR), when
// it is to be read where it lies rather than copied block by block; a form
// that turns its bytes as they are read is read as any file. True when the
// file is mapped or mapping it failed (then its code is pending and reading
// has stopped).
bool LineReader::MapFile() {
    const std::uint64_t size = file_.Size();
    if (!mapped_.Map(file_, size)) return false;
    std::size_t bom = 0;
    bool turned = false;  // UTF-16, turned into UTF-8 as it is read
    if (form_.found) {
        const std::size_t sample = static_cast<std::size_t>(std::min<std::uint64_t>(size, platform::kDetectionSample));
        if (const std::int32_t code = mapped_.Reach(sample)) {
            SetPendingIOCode(code);
            StopReading();
            return true;
        }
        const platform::DetectedEncoding found =
            platform::DetectEncoding({mapped_.Bytes(), sample}, size <= platform::kDetectionSample);
        turned = TakeForm(found);
        bom = found.bomBytes;
    }
    if (turned || form_.lineEnds == LineEnds::Any) {
        mapped_.Unmap();
        form_ = given_;
        SettleLineEnds();
        return false;
    }
    pos_ = end_ = bom;
    read_ = unreported_ = bom;
    released_ = 0;
    return true;
}

// Reads the first bytes, as many as the rule needs, finds the form from
// them, and puts them in the buffer as any block is put. False when a read
// failed: its code is then pending.
bool LineReader::FindForm() {
    std::size_t size = 0;
    bool ended = false;
    while (!ended && size < platform::kDetectionSample) {
        MakeRoom(BlockSize());
        std::size_t got = 0;
        const std::int32_t code = file_.Read(buffer_.data() + size, BlockSize(), got);
        if (code != 0 && code != platform::err::kBrokenPipe) {
            SetPendingIOCode(code);
            return false;
        }
        ended = code != 0 || got == 0;
        size += got;
        end_ = size;
    }
    end_ = 0;
    unreported_ = size;
    const std::string_view sample(buffer_.data(), std::min(size, platform::kDetectionSample));
    const platform::DetectedEncoding found = platform::DetectEncoding(sample, ended && size <= sample.size());
    const bool utf16 = TakeForm(found);
    const std::size_t bom = std::min(found.bomBytes, size);
    if (utf16) {
        decoder_.emplace(found.encoding == platform::SourceEncoding::Utf16Be);
        raw_.assign(buffer_.data() + bom, size - bom);
        MakeRoom(platform::Utf16Decoder::MaxOutput(raw_.size()));
        Put(raw_.data(), raw_.size());
    } else {
        // The mark is read and consumed: offsets stay the file's own.
        read_ = bom;
        end_ = pos_ = bom;
        Put(buffer_.data() + bom, size - bom);
    }
    if (ended) MarkEnd();
    return true;
}

// Takes the form of the encoding found; true for UTF-16, which is turned
// into UTF-8 as it is read.
bool LineReader::TakeForm(const platform::DetectedEncoding& found) noexcept {
    form_.found = false;
    form_.encoding = &platform::ScanEncoding(found.encoding);
    form_.lineEnds = given_.lineEnds;
    SettleLineEnds();
    return found.encoding == platform::SourceEncoding::Utf16Le || found.encoding == platform::SourceEncoding::Utf16Be;
}

void LineReader::SettleLineEnds() noexcept {
    if (form_.lineEnds == LineEnds::ByEncoding) {
        form_.lineEnds = form_.encoding == &platform::Cp932() ? LineEnds::CrLf : LineEnds::Any;
    }
}

void LineReader::MakeRoom(std::size_t room) {
    if (buffer_.size() - end_ >= room) return;
    // Move the unconsumed bytes to the front; grow only for a line longer
    // than the buffer, doubling so that a long line costs linear time.
    if (pos_ > 0) {
        std::memmove(buffer_.data(), Data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (buffer_.size() - end_ < room) buffer_.resize(std::max(2 * buffer_.size(), end_ + room));
}

// Puts bytes read from the file behind the unconsumed ones: turned into
// UTF-8 from UTF-16, and with a lone LF as a lone CR when it ends a line.
// The bytes are either where they go or apart from the buffer.
void LineReader::Put(const char* bytes, std::size_t size) {
    char* const at = buffer_.data() + end_;
    if (decoder_) {
        size = decoder_->Decode(bytes, size, at);
    } else if (bytes != at) {
        std::memmove(at, bytes, size);
    }
    if (form_.lineEnds == LineEnds::Any) EndLinesAtLoneLf(at, size);
    end_ += size;
    read_ += size;
}

// The end mark makes the end of the file read like a Ctrl-Z; as a Ctrl-Z
// is never consumed, nothing is read after it.
void LineReader::MarkEnd() {
    if (decoder_) {
        MakeRoom(platform::Utf16Decoder::MaxOutput(0) + 1);
        char* const at = buffer_.data() + end_;
        const std::size_t size = decoder_->Finish(at);
        if (form_.lineEnds == LineEnds::Any) EndLinesAtLoneLf(at, size);
        end_ += size;
        read_ += size;
    }
    Data()[end_++] = kCtrlZ;
    endMarked_ = true;
}

void LineReader::SetProgress(RunProgress* progress) {
    progress_ = progress;
    Report(0);
}

void LineReader::Report(std::uint64_t bytes) {
    if (!progress_) return;
    bytes += std::exchange(unreported_, 0);
    if (bytes != 0 && !progress_->Read(bytes)) throw EAbort(std::string());
}

bool LineReader::ReadMore() {
    if (mapped_.IsMapped()) return ReachMore();
    const std::size_t block = BlockSize();
    if (decoder_) raw_.resize(block);
    MakeRoom(decoder_ ? platform::Utf16Decoder::MaxOutput(block) : block);
    char* const into = decoder_ ? raw_.data() : buffer_.data() + end_;
    std::size_t got = 0;
    const std::int32_t code = file_.Read(into, block, got);
    if (code != 0 && code != platform::err::kBrokenPipe) {
        SetPendingIOCode(code);
        return false;
    }
    if (code != 0 || got == 0) {
        MarkEnd();
    } else {
        Put(into, got);
        Report(got);
    }
    return true;
}

// The next block of a mapped file: its bytes are in place already, and are
// brought in; those consumed are let go a few megabytes at a time.
bool LineReader::ReachMore() {
    const auto block = static_cast<std::size_t>(std::min<std::uint64_t>(BlockSize(), mapped_.Size() - end_));
    if (const std::int32_t code = mapped_.Reach(end_ + block)) {
        SetPendingIOCode(code);
        return false;
    }
    // A file that has shrunk ends at the bytes read, as a read of it would
    // find; those it lost under them were read as zeros.
    if (block == 0 || mapped_.Shrunk()) {
        MarkEnd();
        return true;
    }
    end_ += block;
    read_ += block;
    if (pos_ - released_ >= kLetGo) {
        mapped_.Release(released_, pos_);
        released_ = pos_;
    }
    Report(block);
    return true;
}

void LineReader::TakeLine(std::string_view& line, std::size_t most) {
    line = {};
    if (!reading_) {
        SetPendingIOCode(kIoFileNotOpenForInput);
        return;
    }
    // Offsets count from pos_, which a read may move.
    std::size_t scanned = 0;
    for (;;) {
        if (pos_ + scanned == end_) {
            if (scanned > most) {
                // Bytes past the kept ones, with no line end among them: gone.
                if (mapped_.IsMapped()) {
                    mapped_.Release(pos_ + most, end_);
                } else {
                    end_ = pos_ + most;
                    scanned = most;
                }
            }
            if (!ReadMore()) {
                // A failed read leaves the part line read, consumed.
                line = {Data() + pos_, std::min(end_ - pos_, most)};
                pos_ = end_;
                return;
            }
            continue;
        }
        const char* const from = Data() + pos_;
        const char* const start = from + scanned;
        std::size_t avail = end_ - pos_ - scanned;
        if (const void* cr = std::memchr(start, kCR, avail)) avail = static_cast<const char*>(cr) - start;
        if (const void* z = std::memchr(start, kCtrlZ, avail)) avail = static_cast<const char*>(z) - start;
        scanned += avail;
        if (pos_ + scanned == end_) continue;

        const std::size_t length = scanned;
        if (from[length] == kCtrlZ) {
            line = {from, std::min(length, most)};
            pos_ += length;
            return;
        }
        // The CR: an LF right after it belongs to the line end.
        if (pos_ + length + 1 == end_ && !ReadMore()) {
            line = {Data() + pos_, std::min(length, most)};
            pos_ = end_;
            return;
        }
        line = {Data() + pos_, std::min(length, most)};
        pos_ += length + 1;
        if (Data()[pos_] == kLF) ++pos_;
        return;
    }
}

bool LineReader::PeekLine(std::string_view& head, std::size_t most) {
    head = {};
    if (!reading_) {
        SetPendingIOCode(kIoFileNotOpenForInput);
        return false;
    }
    static constexpr char kLineEnds[] = {kCR, kCtrlZ};
    for (std::size_t scanned = 0;;) {
        const std::string_view bytes = Unconsumed();
        const std::size_t end = bytes.find_first_of(std::string_view(kLineEnds, 2), scanned);
        if (end != std::string_view::npos && end <= most) {
            head = bytes.substr(0, end);
            return true;
        }
        if (bytes.size() > most) {
            head = bytes.substr(0, most);
            return false;
        }
        scanned = bytes.size();
        if (!ReadMore()) return false;
    }
}

bool LineReader::ReadAgain(std::uint64_t offset, std::size_t size, std::string& out) {
    out.resize(size);
    std::size_t got = 0;
    const std::int32_t code = file_.ReadAt(offset, out.data(), size, got);
    out.resize(got);
    if (code != 0) SetPendingIOCode(code);
    return code == 0;
}

bool LineReader::AtTextEnd() {
    if (!reading_) {
        SetPendingIOCode(kIoFileNotOpenForInput);
        return true;
    }
    // A failed read looks like the end.
    if (pos_ == end_ && !ReadMore()) return true;
    return Data()[pos_] == kCtrlZ;
}

void LineReader::StopReading() {
    if (!reading_) {
        SetPendingIOCode(kIoFileNotOpen);
        return;
    }
    reading_ = false;
    const bool inPlace = mapped_.IsMapped();
    mapped_.Unmap();
    if (const std::int32_t code = file_.Close()) SetPendingIOCode(code);
    TimeReading(inPlace);
}

// Tells the ways what reading the file cost, when it was timed and read as
// either way reads it: a file turned as it is read costs more for that.
void LineReader::TimeReading(bool inPlace) {
    const std::uint64_t since = std::exchange(openedAt_, 0);
    if (since == 0 || decoder_ || form_.lineEnds == LineEnds::Any) return;
    const std::uint64_t now = platform::ThreadProcessorNanoseconds();
    if (now > since) ways_->Record(inPlace ? ReadWays::Way::InPlace : ReadWays::Way::Copied, read_, now - since);
}

void LineReader::Open(std::string_view path) {
    StartReading(path);
    CheckIO();
}

void LineReader::ReadLine(std::string& line) {
    std::string_view view;
    TakeLine(view);
    CheckIO();
    line.assign(view);
}

void LineReader::EndLinesAtLoneLf(char* block, std::size_t size) noexcept {
    // A lone LF becomes the lone CR that ends a line by the home rule, so
    // that every scan sees one kind of line end. The text of a line, all
    // that is ever listed, holds neither.
    if (size == 0) return;  // the last byte read stays the one before
    char* const end = block + size;
    const char* turned = nullptr;  // the last LF turned, to read it as the LF it was
    for (char* lf = block; (lf = static_cast<char*>(std::memchr(lf, kLF, static_cast<std::size_t>(end - lf)))); ++lf) {
        const char before = lf == block ? lastRead_ : lf - 1 == turned ? kLF : lf[-1];
        if (before != kCR) {
            *lf = kCR;
            turned = lf;
        }
    }
    lastRead_ = turned == end - 1 ? kLF : end[-1];
}

void LineReader::ReadLineView(std::string_view& line, std::size_t most) {
    TakeLine(line, most);
    CheckIO();
}

bool LineReader::AtEnd() {
    const bool end = AtTextEnd();
    CheckIO();
    return end;
}

void LineReader::Close() {
    StopReading();
    CheckIO();
}

}  // namespace core
