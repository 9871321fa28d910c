#include "core/General1.h"

#include <cassert>

namespace core {

std::string_view Left(std::string_view s, std::size_t n) noexcept { return s.substr(0, n); }

std::string_view Right(std::string_view s, std::size_t n) noexcept {
    assert(n <= s.size());
    return s.substr(s.size() - n);
}

void WriteLineLabel(std::int64_t lineNumber, char* out) noexcept {
    // The digits of the number, zero-padded, last five kept: a negative number
    // never occurs, as lines count from 1.
    std::uint64_t n = static_cast<std::uint64_t>(lineNumber < 0 ? -lineNumber : lineNumber);
    for (int i = 4; i >= 0; --i) {
        out[i] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
}

std::string FileIndexLabel(int index) {
    if (index >= 100) return std::to_string(index);
    std::string label(2, '0');
    label[0] = static_cast<char>('0' + (index / 10) % 10);
    label[1] = static_cast<char>('0' + index % 10);
    return label;
}

}  // namespace core
