// The phrase around its anchor, as the search tells the places where the
// anchor lies but no hit can: those where the text's bytes on either side
// disagree with the phrase's. A hit's phrase runs across at most one line
// end, after which the next line may start with an LF and an indent of
// ideographic spaces; every other byte of it is the text's own, so the
// bytes around an anchor must agree with the phrase up to such a break.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace core {

struct AnchorRest {
    std::string_view before;  // the phrase's bytes right before the anchor
    std::string_view after;   // the phrase from the anchor on
    std::string_view space;   // the encoding's ideographic space
};

// Whether a hit's phrase may hold the anchor at x, as far as the bytes in
// [from, end] tell (all readable): after x, the phrase agrees with the
// text up to a CR and then with the start of the next line, or the next
// line starts with an indent; before x, it agrees back to a byte that a
// line end or an indent may hold.
bool AnchorAgrees(const char* x, const char* from, const char* end, const AnchorRest& rest) noexcept;

// The places where an anchor lies in some bytes, and how many of them agree
// with the phrase around it, when that is asked.
struct AnchorPlaces {
    std::uint64_t places = 0;
    std::uint64_t agreeing = 0;
};

}  // namespace core
