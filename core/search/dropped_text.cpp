#include "core/search/dropped_text.h"

#include "core/io_check.h"

#include <algorithm>

namespace core {

bool DroppedText::Keep(std::uint64_t offset, std::string_view bytes) {
    if (reader_.CanReadAgain() || bytes.empty()) return true;
    const std::uint64_t at = scratch_.Size();
    if (const std::int32_t code = scratch_.Append(bytes)) {
        SetPendingIOCode(code);
        return false;
    }
    if (!pieces_.empty() && pieces_.back().offset + pieces_.back().size == offset &&
        pieces_.back().at + pieces_.back().size == at) {
        pieces_.back().size += bytes.size();
    } else {
        pieces_.push_back({offset, at, bytes.size()});
    }
    return true;
}

bool DroppedText::Read(std::uint64_t offset, std::size_t size, std::string& out) {
    out.clear();
    if (reader_.CanReadAgain()) return reader_.ReadAgain(offset, size, out);
    out.reserve(size);
    const std::uint64_t end = offset + size;
    for (const Piece& piece : pieces_) {
        const std::uint64_t from = std::max(offset, piece.offset);
        const std::uint64_t to = std::min(end, piece.offset + piece.size);
        if (from >= to) continue;
        if (const std::int32_t code = scratch_.ReadAt(piece.at + (from - piece.offset), to - from, out)) {
            SetPendingIOCode(code);
            return false;
        }
    }
    return true;
}

void DroppedText::Forget() noexcept {
    pieces_.clear();
    scratch_.Clear();
}

}  // namespace core
