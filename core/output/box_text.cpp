#include "core/output/box_text.h"

#include "platform/code_page.h"

#include <algorithm>

namespace core {

namespace {

constexpr char16_t kParagraphEnd = u'\n';
constexpr char16_t kBreakInParagraph = 0x2028;
constexpr char16_t kNulMark = 0x2400;
constexpr std::u16string_view kCutMark = u"…(以下省略)";

// Appends the characters of bytes[begin, end) while they fit in maxUnits
// UTF-16 units, a lone CR or LF as lineBreak. Returns the offset of the first
// byte left out, or end.
std::size_t AppendLine(BoxText& box, std::string_view bytes, std::size_t begin, std::size_t end, std::size_t maxUnits,
                       char16_t lineBreak, const platform::Encoding& encoding) {
    box.lines.emplace_back(box.text.size(), box.text.size());
    // No unit stands for more than three bytes, so this many bytes decode to
    // more than maxUnits units, the last one whole or left out.
    const std::size_t take = std::min(end - begin, 3 * maxUnits + 3);
    const platform::DecodedText decoded = platform::DecodeWithOffsets(encoding, bytes.substr(begin, take));
    std::size_t units = 0;
    for (std::size_t i = 0; i < decoded.text.size(); ++i) {
        const char32_t c = decoded.text[i];
        const std::size_t at = begin + decoded.offsets[i];
        const std::size_t size = c > 0xFFFF ? 2 : 1;
        if (units + size > maxUnits) {
            box.lines.back().second = box.text.size();
            return at;
        }
        if (size == 2) {
            const char32_t v = c - 0x10000;
            box.text.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            box.text.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
            box.byteAt.insert(box.byteAt.end(), 2, at);
        } else {
            box.text.push_back(c == 0 ? kNulMark : c == U'\r' || c == U'\n' ? lineBreak : static_cast<char16_t>(c));
            box.byteAt.push_back(at);
        }
        units += size;
    }
    box.lines.back().second = box.text.size();
    return end;
}

// The end of the line that starts at begin: its CR LF, or the end of bytes.
std::size_t LineEnd(std::string_view bytes, std::size_t begin) {
    const std::size_t crlf = bytes.find("\r\n", begin);
    return crlf == std::string_view::npos ? bytes.size() : crlf;
}

void AppendParagraphEnd(BoxText& box, std::size_t crAt) {
    box.text.push_back(kParagraphEnd);
    box.byteAt.push_back(crAt);
}

}  // namespace

BoxText ListingBoxText(std::string_view bytes, std::size_t maxLineUnits) {
    BoxText box;
    for (std::size_t begin = 0; begin < bytes.size();) {
        const std::size_t end = LineEnd(bytes, begin);
        const std::size_t cut = AppendLine(box, bytes, begin, end, maxLineUnits, kBreakInParagraph, platform::Cp932());
        if (cut < end) {
            box.text += kCutMark;
            box.byteAt.insert(box.byteAt.end(), kCutMark.size(), cut);
            box.lines.back().second = box.text.size();
        }
        if (end == bytes.size()) break;
        AppendParagraphEnd(box, end);
        begin = end + 2;
    }
    box.byteAt.push_back(bytes.size());
    return box;
}

BoxText ViewerBoxText(std::string_view bytes, std::size_t maxUnits, const platform::Encoding& encoding) {
    BoxText box;
    const std::size_t shown = std::min(bytes.size(), 2 * maxUnits + 2);
    box.text.reserve(shown);
    box.byteAt.reserve(shown + 1);
    std::size_t begin = 0;
    while (begin < bytes.size() && box.text.size() < maxUnits) {
        const std::size_t end = LineEnd(bytes, begin);
        const std::size_t cut = AppendLine(box, bytes, begin, end, maxUnits - box.text.size(), kParagraphEnd, encoding);
        if (cut < end || end == bytes.size()) {
            begin = cut;
            break;
        }
        if (box.text.size() == maxUnits) {
            begin = end;
            break;
        }
        AppendParagraphEnd(box, end);
        begin = end + 2;
    }
    box.byteAt.push_back(begin);
    return box;
}

std::size_t UnitsWithinBytes(const BoxText& box, std::size_t from, std::size_t to, std::size_t maxBytes) {
    const std::size_t start = box.byteAt[from];
    std::size_t n = 0;
    // byteAt[from + n + 1] is where the unit after the n-th one starts; the
    // low half of a surrogate pair starts where its high half does.
    while (from + n < to && box.byteAt[from + n + 1] - start <= maxBytes) ++n;
    while (n > 0 && from + n < to && (box.text[from + n] & 0xFC00) == 0xDC00) --n;
    return n;
}

}  // namespace core
