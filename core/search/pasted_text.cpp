#include "core/search/pasted_text.h"

#include "platform/code_page.h"

#include <array>

namespace core {

namespace {

// The length of the line end at p, or 0 when none starts there.
std::size_t LineEndAt(std::string_view text, std::size_t p) {
    static constexpr std::array<std::string_view, 6> kEnds = {
        "\r\n", "\r", "\n", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9",
    };
    for (const std::string_view end : kEnds) {
        if (text.substr(p, end.size()) == end) return end.size();
    }
    return 0;
}

}  // namespace

std::optional<std::string> JoinPastedLines(std::string_view utf8) {
    if (utf8.find('\0') != std::string_view::npos) return std::nullopt;
    std::string joined;
    joined.reserve(utf8.size());
    std::size_t p = 0;
    while (p < utf8.size()) {
        const std::size_t end = LineEndAt(utf8, p);
        if (end == 0) {
            joined.push_back(utf8[p++]);
            continue;
        }
        const char* next = utf8.data() + p + end;
        p = static_cast<std::size_t>(
            platform::SkipIdeographicSpaces(platform::Utf8(), next, utf8.data() + utf8.size()) - utf8.data());
    }
    return joined;
}

}  // namespace core
