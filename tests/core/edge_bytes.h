// Random bytes for the scan's edge cases, shared by the tests that check the
// scan and the global search against the reference.
#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace testing_support {

// Bytes that matter to the rules: line ends, Ctrl-Z, NUL, the ideographic
// space, lead bytes and a trail byte that is also a lead byte.
inline std::string EdgeBytes(std::mt19937& rng, std::size_t length) {
    static const char bytes[] = {'a', 'b', '\r', '\n', '\r', '\x81', '\x40', '\x82', '\xA0', '\xE0', '\0', '\x1A'};
    std::string s(length, ' ');
    for (auto& ch : s) {
        // Ctrl-Z ends the text, so it is kept rare.
        do ch = bytes[rng() % sizeof bytes];
        while (ch == '\x1A' && rng() % 8 != 0);
    }
    return s;
}

}  // namespace testing_support
