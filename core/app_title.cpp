#include "core/app_title.h"

#include "platform/code_page.h"

namespace core {

std::string ApplicationTitle(std::string_view modulePath) {
    modulePath = modulePath.substr(0, 255);
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < modulePath.size(); ++i) {
        const auto b = static_cast<unsigned char>(modulePath[i]);
        if (platform::IsLeadByte(b)) {
            ++i;  // its trail byte is never a separator
        } else if (b == '\\' || b == '/') {
            nameStart = i + 1;
        }
    }
    std::string title(modulePath.substr(nameStart));
    title = title.substr(0, title.find('.'));
    for (std::size_t i = 0; i < title.size(); ++i) {
        const auto b = static_cast<unsigned char>(title[i]);
        if (platform::IsLeadByte(b)) {
            ++i;
        } else if (i > 0 && b >= 'A' && b <= 'Z') {
            title[i] = static_cast<char>(b - 'A' + 'a');
        }
    }
    return title;
}

}  // namespace core
