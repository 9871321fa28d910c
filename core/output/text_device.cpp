#include "core/output/text_device.h"

#include "platform/code_page.h"

#include <algorithm>
#include <vector>

namespace core {

namespace {

constexpr char kTab = 9;
constexpr char kLineFeed = 10;
constexpr char kFormFeed = 12;
constexpr char kReturn = 13;

bool IsControl(char c) noexcept { return c == kTab || c == kLineFeed || c == kFormFeed || c == kReturn; }

bool IsLead(char c) noexcept { return platform::IsLeadByte(static_cast<unsigned char>(c)); }

// Where each character of a run ends; a lead byte and the byte after it are
// one character, a lead byte at the very end is one on its own.
std::vector<std::size_t> CharacterEnds(std::string_view run) {
    std::vector<std::size_t> ends;
    const char* const end = run.data() + run.size();
    for (std::size_t i = 0; i < run.size();) {
        i += platform::CharacterLength(platform::Cp932(), run.data() + i, end);
        ends.push_back(i);
    }
    return ends;
}

}  // namespace

TextDevice::TextDevice(TextSurface& surface) : surface_(surface) { piece_.reserve(kPieceSize); }

void TextDevice::Write(std::string_view bytes) {
    for (char c : bytes) Collect(c);
}

void TextDevice::WriteLine(std::string_view bytes) {
    Write(bytes);
    Collect(kReturn);
    Collect(kLineFeed);
    HandOn(piece_.size());
}

void TextDevice::Close() {
    HandOn(piece_.size());
    pendingPages_ = 0;
}

void TextDevice::Collect(char byte) {
    const bool control = IsControl(byte);
    nextIsTrail_ = !nextIsTrail_ && !control && IsLead(byte);
    piece_.push_back(byte);
    if (piece_.size() < kPieceSize) return;
    // A full piece whose last byte opens a character keeps that byte back.
    HandOn(nextIsTrail_ ? kPieceSize - 1 : kPieceSize);
}

void TextDevice::HandOn(std::size_t length) {
    if (length == 0) return;
    const std::string piece = piece_.substr(0, length);
    piece_.erase(0, length);
    Process(piece);
}

void TextDevice::Process(std::string_view piece) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char c = piece[i];
        if (!IsControl(c)) continue;
        PrintRun(piece.substr(start, i - start));
        start = i + 1;
        switch (c) {
        case kTab: Tab(); break;
        case kLineFeed: NewLine(); break;
        case kFormFeed: NewPage(); break;
        default: break;  // CR: the text before it is already printed
        }
    }
    PrintRun(piece.substr(start));
}

void TextDevice::PrintRun(std::string_view run) {
    while (!run.empty()) {
        const std::vector<std::size_t> ends = CharacterEnds(run);
        const int right = surface_.PrintableWidth();
        std::size_t count = ends.size();
        TextSurface::Extent extent = surface_.Measure(run);
        while (count > 0 && x_ + extent.width > right) {
            --count;
            if (count > 0) extent = surface_.Measure(run.substr(0, ends[count - 1]));
        }
        if (count == 0) {
            if (x_ > 0) {
                NewLine();
                continue;
            }
            // Not even one character fits a whole line: it is printed alone,
            // cut by the edge, so that the print always moves on.
            count = 1;
            extent = surface_.Measure(run.substr(0, ends[0]));
        }
        const std::size_t length = ends[count - 1];
        while (pendingPages_ > 0) {
            --pendingPages_;
            surface_.NewPage();
        }
        surface_.Draw(x_, y_, run.substr(0, length));
        if (extent.height > lineHeight_) lineHeight_ = extent.height + 2;
        if (length == run.size()) {
            x_ += extent.width;
            return;
        }
        run.remove_prefix(length);
        NewLine();
    }
}

void TextDevice::Tab() {
    const int w = std::max(1, 8 * surface_.AverageCharWidth());
    x_ = x_ + w - ((x_ + w + 1) % w) + 1;
    if (x_ > surface_.PrintableWidth()) NewLine();
}

void TextDevice::NewLine() {
    x_ = 0;
    // The line moves down by what was printed on it; an empty line by the font.
    const int advance = lineHeight_ > 0 ? lineHeight_ : surface_.FontHeight();
    y_ += advance;
    if (y_ > surface_.PrintableHeight() - 2 * advance) NewPage();
    lineHeight_ = 0;
}

void TextDevice::NewPage() {
    ++pendingPages_;
    x_ = 0;
    y_ = 0;
    lineHeight_ = 0;
}

std::string_view LimitDisplayLine(std::string_view line) noexcept {
    if (line.size() <= kMaxDisplayLine) return line;
    std::size_t end = 0;
    while (end < kMaxDisplayLine) {
        const std::size_t next =
            end + platform::CharacterLength(platform::Cp932(), line.data() + end, line.data() + line.size());
        if (next > kMaxDisplayLine) break;
        end = next;
    }
    return line.substr(0, end);
}

}  // namespace core
