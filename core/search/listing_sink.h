// Where a listing goes while it is made: in order, a block of whole lines at
// a time (a line longer than a block in several). The command line writes
// each block out at once; the windows keep them and take the listing in one
// piece.
#pragma once

#include "core/search/hit_text.h"
#include "core/search/listing_format.h"
#include "platform/code_page.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class ListingSink {
public:
    virtual ~ListingSink() = default;
    // Takes the next block; a block holds whole lines, each ended by CR LF,
    // or a piece of a line longer than a block. May raise: the search then stops and passes the error on.
    virtual void Write(std::string block) = 0;
};

// Keeps the blocks and joins them once, into a string of the exact size.
class CollectingSink final : public ListingSink {
public:
    void Write(std::string block) override;
    std::string Take();

private:
    std::vector<std::string> blocks_;
    std::size_t size_ = 0;
};

// A search's part of a listing (a target's, or the local listing), handed
// to a sink a block of whole lines at a time (a line longer than a block in
// several).
class ListingPart {
public:
    // Lines are gathered up to this many bytes before they are handed on.
    static constexpr std::size_t kBlock = 256 * 1024;

    explicit ListingPart(ListingSink& out) noexcept : out_(out) {}
    // Appends one line (or the heading, or a piece of a long hit line), given
    // in pieces; what one call appends is not split between blocks.
    template <class... Pieces>
    void Append(const Pieces&... pieces) {
        const std::size_t n = (std::string_view(pieces).size() + ...);
        if (!block_.empty() && block_.size() + n > kBlock) Flush();
        // Whole from the start: no copies while it fills, and its memory is
        // about its size.
        if (block_.empty()) block_.reserve(std::max(kBlock, n));
        (block_.append(pieces), ...);
    }
    // Appends "label: text" and CR LF.
    void AppendLabelled(std::string_view label, std::string_view text) {
        PutLabelledLine(label, text, [this](const auto&... pieces) { Append(pieces...); });
    }
    // The same for a text written in from, in a listing written in to: the
    // text is converted, each character to lacks written as 〓.
    void AppendLabelled(std::string_view label, std::string_view text, const platform::Encoding& from,
                        const platform::Encoding& to) {
        if (&from == &to) {
            AppendLabelled(label, text);
        } else {
            AppendLabelled(label, platform::Recode(from, to, text));
        }
    }
    // The same for a hit line, in the listing's encoding to; a long line
    // goes on in pieces, so that no block holds much more than kBlock bytes.
    void AppendLabelled(std::string_view label, const HitText& text, const platform::Encoding& from,
                        const platform::Encoding& to) {
        if (text.Whole()) {
            AppendLabelled(label, text.View(), from, to);
            return;
        }
        Append(label, kLabelEnd);
        try {
            if (&from == &to) {
                text.Pieces([this](std::string_view piece) { Append(piece); });
            } else {
                AppendConverted(text, from, [&](std::string_view bytes) { return platform::Recode(from, to, bytes); });
            }
        } catch (...) {
            // Reading the line again failed part-way, perhaps after some of it
            // went out: it ends where the reading did, so the listing stays
            // one of whole lines.
            Append(kCRLF);
            throw;
        }
        Append(kCRLF);
    }
    // Appends the bytes of a hit line written in from as convert gives them,
    // which takes whole characters: a long line a piece at a time.
    template <class Convert>
    void AppendConverted(const HitText& text, const platform::Encoding& from, Convert&& convert) {
        if (text.Whole()) {
            Append(convert(text.View()));
            return;
        }
        std::string carried;  // the bytes of a piece that its next one may still change
        text.Pieces([&](std::string_view piece) {
            carried.append(piece);
            const std::size_t cut = ConvertibleCut(from, carried);
            Append(convert(std::string_view(carried).substr(0, cut)));
            carried.erase(0, cut);
        });
        if (!carried.empty()) Append(convert(std::string_view(carried)));
    }
    // Whether a block has been handed on.
    bool Wrote() const noexcept { return wrote_; }
    void Flush() {
        if (block_.empty()) return;
        if (block_.size() < block_.capacity() / 2) block_.shrink_to_fit();  // a target's last lines
        wrote_ = true;
        out_.Write(std::move(block_));
        block_ = std::string();
    }

private:
    // Where bytes of from may be cut so that, converted, the part before and
    // the part after give what the whole would.
    static std::size_t ConvertibleCut(const platform::Encoding& from, std::string_view bytes);

    ListingSink& out_;
    std::string block_;
    bool wrote_ = false;
};

}  // namespace core
