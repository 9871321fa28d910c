// UTF-16 into UTF-8 as a stream, a block at a time, so that a UTF-16 file is
// searched by the byte scans as UTF-8 in bounded memory. The blocks may end
// anywhere, even inside a unit or between the halves of a surrogate pair:
// the output is the same as for the whole stream decoded at once.
//
// Decoding is total: an unpaired surrogate, and a lone byte at the end of
// the stream, become U+FFFD (EF BF BD); every other unit becomes its
// character, NUL, CR and LF included, so no line end and no text is lost.
// A byte order mark is a character like any other (U+FEFF): whoever tells
// the byte order from it drops it.
#pragma once

#include <cstddef>

namespace platform {

class Utf16Decoder {
public:
    // UTF-16BE when bigEndian, else UTF-16LE. The processor's vectors are
    // chosen here (platform::WidestVectors()), once.
    explicit Utf16Decoder(bool bigEndian) noexcept;

    // The room that out must have for Decode of n bytes (what was carried
    // over from the last call included), and for Finish, MaxOutput(0).
    // Decode may write scratch bytes past the ones it returns, but never
    // past this room.
    static constexpr std::size_t MaxOutput(std::size_t n) noexcept { return 3 * (n / 2) + 6; }

    // Decodes the next n bytes of the stream into out and returns the bytes
    // of UTF-8 written. An odd last byte, and a high surrogate at the end,
    // are carried over to the next call.
    std::size_t Decode(const char* in, std::size_t n, char* out) noexcept;

    // The stream has ended: what was carried over becomes U+FFFD. Returns the
    // bytes written; the decoder is then ready for a new stream.
    std::size_t Finish(char* out) noexcept;

private:
    // A vector loop of utf16_decoder_x86.h.
    using Kernel = void (*)(const char*& p, const char* end, char*& o, bool bigEndian) noexcept;

    Kernel kernel_;  // nullptr: bytes alone
    bool bigEndian_;
    bool hasOdd_ = false;
    char odd_ = 0;       // the first byte of a unit cut by the end of a block
    char16_t high_ = 0;  // a high surrogate waiting for its low half, or 0
};

}  // namespace platform
