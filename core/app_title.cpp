#include "core/app_title.h"

#include "platform/code_page.h"

namespace core {

std::string ApplicationTitle(std::string_view modulePath) {
    modulePath = modulePath.substr(0, 255);
    // The last separator that is a character of its own (a trail byte of the
    // code page can have the value of a backslash but is never a separator).
    const platform::Encoding& cp932 = platform::Cp932();
    const char* const end = modulePath.data() + modulePath.size();
    std::size_t nameStart = 0;
    for (const char* p = modulePath.data(); p < end; p += platform::CharacterLength(cp932, p, end)) {
        if (*p == '\\' || *p == '/') nameStart = static_cast<std::size_t>(p - modulePath.data()) + 1;
    }
    std::string title(modulePath.substr(nameStart));
    title = title.substr(0, title.find('.'));
    // Capitals after the first character become small; a double-byte
    // character is left as it is.
    for (std::size_t i = 0; i < title.size();) {
        const std::size_t length = platform::CharacterLength(cp932, title.data() + i, title.data() + title.size());
        if (length == 1 && i > 0 && title[i] >= 'A' && title[i] <= 'Z')
            title[i] = static_cast<char>(title[i] - 'A' + 'a');
        i += length;
    }
    return title;
}

}  // namespace core
