// The line shapes that the listings and the viewer share: the heading, a
// file's header line, and a labelled line.
#pragma once

#include "core/search/text_bytes.h"
#include "platform/code_page.h"

#include <string>
#include <string_view>

namespace core {

// Hands the pieces of a labelled line, "LLLLL: text" and CR LF, to put: a
// hit line of a listing, or a display line of the viewer. The pieces go as
// arguments, so that the fixed ones are copied with their sizes known.
inline constexpr std::string_view kLabelEnd = ": ";
template <class Put>
void PutLabelledLine(std::string_view label, std::string_view text, Put&& put) {
    put(label, kLabelEnd, text, kCRLF);
}

inline void AppendLabelledLine(std::string& out, std::string_view label, std::string_view text) {
    PutLabelledLine(label, text, [&](auto... pieces) { (out.append(pieces), ...); });
}

// The listing's heading: "検索字句：　", the search text, CR LF and an empty
// line, in the encoding of the listing.
std::string ListingHeading(const platform::Encoding& encoding, std::string_view searchText);

// The file header line of target k: the path, " *", the two-digit index and
// 49 asterisks, cut to 80 bytes.
std::string FileHeaderLine(std::string_view path, int k);

}  // namespace core
