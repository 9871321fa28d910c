// The text of lines whose bytes a scan dropped to bound its memory, to read
// again should such a line turn out to be a hit: from the file itself, or,
// for a stream, which can't be read twice, from a scratch file that the
// dropped bytes are copied to as they go.
#pragma once

#include "core/search/line_reader.h"
#include "platform/scratch_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class DroppedText {
public:
    explicit DroppedText(LineReader& reader) noexcept : reader_(reader) {}
    DroppedText(const DroppedText&) = delete;
    DroppedText& operator=(const DroppedText&) = delete;

    // The bytes at offset of the reader's text are being dropped; keeps them
    // where they can't be read again. False when keeping them failed: the
    // code is then pending.
    bool Keep(std::uint64_t offset, std::string_view bytes);
    // Replaces out with the size bytes at offset, which were dropped (and
    // kept) before. False when reading them failed: the code is then pending.
    bool Read(std::uint64_t offset, std::size_t size, std::string& out);
    // Nothing kept is needed any more.
    void Forget() noexcept;

private:
    // Bytes [offset, offset + size) of the stream, kept at `at` in scratch_.
    struct Piece {
        std::uint64_t offset;
        std::uint64_t at;
        std::uint64_t size;
    };

    LineReader& reader_;
    platform::ScratchFile scratch_;
    std::vector<Piece> pieces_;
};

}  // namespace core
