#include "core/error_text.h"

#include "platform/code_page.h"

namespace core {

bool IsTrailByteAt(std::string_view s, std::size_t index) noexcept {
    const char* const at = s.data() + index;
    return platform::CharacterStart(platform::Cp932(), s.data(), at, s.data() + s.size()) != at;
}

std::string WithClosingPeriod(std::string_view message) {
    std::string text(message);
    if (text.empty()) return text;
    std::size_t last = text.size() - 1;
    if (last > 0 && IsTrailByteAt(text, last)) --last;
    if (static_cast<unsigned char>(text[last]) > 0x2E) text += '.';
    return text;
}

}  // namespace core
