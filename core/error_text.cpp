#include "core/error_text.h"

#include "platform/code_page.h"

namespace core {

bool IsTrailByteAt(std::string_view s, std::size_t index) noexcept {
    std::size_t leads = 0;
    while (leads < index && platform::IsLeadByte(static_cast<unsigned char>(s[index - 1 - leads]))) ++leads;
    return leads % 2 == 1;
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
