// Byte searches for the scans: the phrase, and its anchor with the CR line
// ends before it, over a whole block. The vector kernels (byte_search_x86.cpp:
// SSE2, which every x86-64 has, and AVX2 or AVX-512 where the processor has
// them) are chosen here; plain loops elsewhere. The answers are the same.
#pragma once

#include "core/search/anchor_passed.h"
#include "core/search/anchor_rest.h"
#include "platform/code_page.h"
#include "platform/cpu_features.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The first byte c in [from, to), or to: memchr with the processor's widest
// vectors, four at a time, as the first look at a block fetches it from
// memory.
const char* FindByte(const char* from, const char* to, char c, platform::Vectors vectors) noexcept;

// A phrase compiled once, searched many times. Its first and its last byte
// are compared at 16 positions at once (32 with AVX2, 64 with AVX-512, when
// the processor has them); a short phrase is compared in full only where
// both agree. A long phrase is matched from there byte by byte
// with its prefix automaton (Knuth-Morris-Pratt), so that no byte is
// compared more than a few times whatever the text: time stays linear in
// the text for phrases of any length.
class PhraseFinder {
public:
    // Phrases up to this long are compared in full at each candidate.
    static constexpr std::size_t kShort = 32;

    explicit PhraseFinder(std::string_view phrase);

    // The first position in [from, to) where the whole phrase lies inside
    // [from, to), or to when there is none. An empty phrase is never found.
    const char* Find(const char* from, const char* to) const noexcept;

    std::size_t size() const noexcept { return phrase_.size(); }

    // The prefix automaton: given that the last matched bytes read were the
    // phrase's first matched ones, how many are after reading c (size() when
    // the phrase has just been read whole).
    std::size_t Step(std::size_t matched, char c) const noexcept;

    // Finds the occurrences in one text in turn. Asked again from just past
    // a found position, it goes on from where it stopped instead of reading
    // the phrase's bytes again, so all the occurrences of a text cost time
    // linear in the text. Valid while the text does not move.
    class Cursor {
    public:
        explicit Cursor(const PhraseFinder& finder) noexcept : finder_(finder) {}
        // As Find(from, to).
        const char* Next(const char* from, const char* to) noexcept;

    private:
        const PhraseFinder& finder_;
        const char* at_ = nullptr;  // the long phrase's automaton has read up to here,
        std::size_t matched_ = 0;   // with this many of its bytes matched before it
    };

private:
    // The long phrase's search from the automaton state (at, matched): the
    // next occurrence inside [.., to), or to; at and matched move on.
    const char* FindLong(const char*& at, std::size_t& matched, const char* to) const noexcept;

    std::string phrase_;
    // For each k, the length of the longest proper prefix of phrase_[0, k)
    // that is also its suffix.
    std::vector<std::uint32_t> border_;
    platform::Vectors vectors_;
};

// The anchor of a phrase: two adjacent bytes of it that every hit on it
// holds, also a hit that runs on across a line end: the pair itself, or,
// when the line end falls between its bytes, its first byte right before
// the CR. Of the phrase's pairs the one likely rarest in prose of the
// text's encoding is taken (by the encoding's byte-frequency model), so that
// few places outside the hits hold it; or, given a sample of the text
// itself, the one that stops the search least there, as a text's own words
// may be far from the model's. A phrase of one byte is its own anchor.
class AnchorFinder {
public:
    // The most of the phrase's bytes on either side of the anchor that the
    // search compares before it stops at an anchor (see AnchorAgrees).
    static constexpr std::size_t kRest = 32;
    // What the places where the anchor lies cost the search, in units of
    // one that it looks around and passes over: one that it stops at
    // without a look (the scan then looks at its line), and one that it
    // stops at after the look.
    static constexpr std::uint64_t kStopCost = 8;
    static constexpr std::uint64_t kLookedStopCost = 11;

    // The phrase holds no CR; it may be empty, and then nothing is found.
    AnchorFinder(std::string_view phrase, const platform::Encoding& encoding);
    // The pair whose places in sample cost least, and whether the search
    // looks around them: each place where it lies (or its first byte before
    // a CR) costs kStopCost without the look; with it, one, or
    // kLookedStopCost where the phrase around it agrees with the sample
    // (AnchorAgrees). Of pairs that cost alike, the model's rarest.
    AnchorFinder(std::string_view phrase, const platform::Encoding& encoding, std::string_view sample);

    using Passed = AnchorPassed;

    // An x in [from, to) where the anchor lies: byte x is its first byte and
    // byte x + 1 its second or a CR; to when there is none. No place before
    // x holds the anchor with the phrase around it agreeing with the text
    // (AnchorAgrees over [from, to]): the search may pass over anchors that
    // can be no hit's, and stops at the first that can be. The byte at to
    // must be readable. passed tells of [from, x), and of [x, to) its first
    // CR.
    const char* Find(const char* from, const char* to, Passed& passed) const noexcept;

    // Where in the phrase the anchor starts.
    std::size_t Offset() const noexcept { return offset_; }

private:
    std::size_t offset_ = 0;
    char first_ = '\0';
    char second_ = '\0';
    // The phrase around the anchor, as far as the search compares it; empty
    // when the look costs more than it saves.
    std::string before_, after_;
    std::string_view space_;
    bool pair_ = false;
    bool empty_;
    platform::Vectors vectors_;
};

}  // namespace core
