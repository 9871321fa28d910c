// The text of a hit line as a scan hands it on: a long line's first bytes,
// which the scan dropped before the line turned out to be a hit, are read
// again a piece at a time as the line is taken, so that a line of any
// length is listed in bounded memory.
#pragma once

#include "core/io_check.h"
#include "core/search/block_scan.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace core {

class HitText {
public:
    // The most bytes read again at once.
    static constexpr std::size_t kPiece = 64 * 1024;

    // Valid until scan's next step.
    HitText(BlockScan& scan, const HitLine& hit) noexcept : scan_(scan), hit_(hit) {}

    // Whether the line is all in one piece, its text view.
    bool Whole() const noexcept { return hit_.dropped == 0; }
    std::string_view View() const noexcept { return hit_.text; }

    // Calls put(bytes) with the line's bytes in order, in pieces of at most
    // kPiece bytes. A failed read is raised.
    template <class Put>
    void Pieces(Put&& put) const {
        std::string piece;
        for (std::uint64_t at = 0; at < hit_.dropped; at += kPiece) {
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, hit_.dropped - at));
            if (!scan_.ReadDropped(hit_, at, size, piece)) CheckIO();
            put(std::string_view(piece));
        }
        for (std::string_view rest = hit_.text; !rest.empty(); rest.remove_prefix(std::min(kPiece, rest.size()))) {
            put(rest.substr(0, kPiece));
        }
    }

    // The line in one string.
    std::string Joined() const {
        std::string text;
        Pieces([&](std::string_view piece) { text.append(piece); });
        return text;
    }

private:
    BlockScan& scan_;
    const HitLine& hit_;
};

}  // namespace core
