#include "cli/encoding_names.h"

#include <array>
#include <utility>

namespace cli {

std::string NameKey(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (c == '-' || c == '_') continue;
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

const platform::Encoding* EncodingByName(std::string_view name) {
    // Shift_JIS proper lacks the NEC and IBM rows, but files so labelled
    // are written with them: every name of the family is code page 932.
    static const std::array<std::pair<std::string_view, const platform::Encoding& (*)() noexcept>, 8> kNames = {{
        {"cp932", platform::Cp932},
        {"sjis", platform::Cp932},
        {"shiftjis", platform::Cp932},
        {"windows31j", platform::Cp932},
        {"ms932", platform::Cp932},
        {"eucjp", platform::EucJp},
        {"ujis", platform::EucJp},
        {"utf8", platform::Utf8},
    }};
    const std::string key = NameKey(name);
    for (const auto& [known, encoding] : kNames) {
        if (key == known) return &encoding();
    }
    return nullptr;
}

}  // namespace cli
