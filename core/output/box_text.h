// What a text box shows for code-page bytes, and the way back from every
// position of the shown text to the bytes it stands for.
//
// Lines end at CR LF; each line's text is followed by '\n'. A lone CR or LF
// inside a line is data as far as the search goes, but shows as a break too.
// A NUL byte shows as U+2400, as a text box would otherwise end or hide there.
#pragma once

#include "platform/code_page.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace core {

struct BoxText {
    std::u16string text;
    // The byte offset that each UTF-16 unit of text starts at, plus one entry
    // for the end. Non-decreasing, so [i, j) maps to the bytes
    // [byteAt[i], byteAt[j]).
    std::vector<std::size_t> byteAt;
    // Each line shown: where its text starts and ends in text, without the
    // line end.
    std::vector<std::pair<std::size_t, std::size_t>> lines;
};

// A listing line longer than this shows this many UTF-16 units and a mark.
// Enough for any real paragraph; a line of a file with LF-only line ends can
// be the whole file, and the box lays out each paragraph in one piece.
inline constexpr std::size_t kListingLineUnits = 4096;

// The viewer's text control holds at most this many UTF-16 units.
inline constexpr std::size_t kViewerTextLimit = 131072;

// A hit line of the viewer is coloured over at most this many bytes.
inline constexpr std::size_t kHitColourBytes = 4096;

// A listing box: one paragraph per line, a lone CR or LF a break inside it
// (U+2028), so that paragraph n is line n. Every line is cut after
// maxLineUnits UTF-16 units and ends then in "…(以下省略)". The mark stands for
// the hidden bytes as a whole: a range that covers all of it covers them.
BoxText ListingBoxText(std::string_view bytes, std::size_t maxLineUnits = kListingLineUnits);

// The viewer: a lone CR or LF is a paragraph break like a line end, so that
// no paragraph of a file with LF-only line ends grows too long to lay out;
// lines tells the lines apart. The text is cut after maxUnits UTF-16
// units (a break counts one), with no mark; text beyond it is not shown.
// The bytes are written in encoding (a file's own; code page 932 unless
// told otherwise).
BoxText ViewerBoxText(std::string_view bytes, std::size_t maxUnits = kViewerTextLimit,
                      const platform::Encoding& encoding = platform::Cp932());

// ViewerBoxText(bytes, maxUnits) looks at no more than this many bytes: any
// longer bytes starting with the same ones give the same box. No unit stands
// for more than three bytes (a character of UTF-8 or EUC-JP), and a line end
// needs its LF seen.
constexpr std::size_t ViewerBytesNeeded(std::size_t maxUnits) { return 3 * maxUnits + 4; }

// How many UTF-16 units from position from (not beyond to) hold characters
// that lie within the first maxBytes bytes from there. A character is never
// cut.
std::size_t UnitsWithinBytes(const BoxText& box, std::size_t from, std::size_t to, std::size_t maxBytes);

}  // namespace core
