// The substring test, the pair rule, the last-line test and the indent
// cleaner against the reference model's joined strings.
//
// Input: a length byte for the search text (taken modulo 32), a length byte
// for the previous line, the search text, the previous line, and the rest as
// the current line.
#include "../core/pair_rule.h"
#include "../core/reference_model.h"
#include "core/search/text_bytes.h"
#include "fuzz_support.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::size_t searchLength = in.Byte() % 32;
    const std::size_t prevLength = in.Byte();
    const std::string s = in.Take(searchLength);
    const std::string prev = in.Take(prevLength);
    const std::string cur = in.Rest();
    const auto details = [&] {
        return "search " + fuzz::Escaped(s) + ", prev " + fuzz::Escaped(prev) + ", cur " + fuzz::Escaped(cur);
    };
    // The core sees each part in a heap block of its own size.
    const std::string joined = prev + cur;
    const fuzz::ExactBytes sBytes(s), prevBytes(prev), curBytes(cur);

    FUZZ_CHECK(core::UpToNul(prevBytes.View()) == reference::CutAtNul(prev), details());
    // Every part in every part, so the fuzzer also plays with the roles.
    for (const std::string* what : {&s, &prev, &cur, &joined}) {
        for (const std::string* where : {&s, &prev, &cur, &joined}) {
            const fuzz::ExactBytes whatBytes(*what), whereBytes(*where);
            FUZZ_CHECK(core::SubstringPos(whatBytes.View(), whereBytes.View()) == reference::Pos(*what, *where),
                       "SubstringPos(" + fuzz::Escaped(*what) + ", " + fuzz::Escaped(*where) + ")");
        }
    }

    const std::size_t pos = reference::Pos(s, joined);
    FUZZ_CHECK(core::PairHit(sBytes.View(), prevBytes.View(), curBytes.View()) == (pos > 0 && pos <= prev.size()),
               details());
    FUZZ_CHECK(core::LastLineHit(sBytes.View(), prevBytes.View()) == (reference::Pos(s, prev) > 0), details());

    std::string cleaned = cur;
    core::StripLeadingIdeographicSpaces(cleaned);
    std::string expected = cur;
    while (expected.rfind("\x81\x40", 0) == 0) expected.erase(0, 2);
    FUZZ_CHECK(cleaned == expected, details());
    return 0;
}
