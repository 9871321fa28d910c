#include "platform/native_names.h"

#include "platform/code_page.h"

namespace platform {

std::string NameToCodePage(std::string_view nativeName) {
    static constexpr std::string_view kMark = "\x81\xAC";  // 〓
    std::string out;
    out.reserve(nativeName.size());
    for (const char32_t c : DecodeUtf8Lossy(nativeName)) {
        const std::u32string_view one(&c, 1);
        const auto bytes = EncodeCodePage(one);
        // Only whole characters that read back as themselves: a lone lead byte
        // (a raw byte kept by the codec) could join the next byte into another
        // character, and a best-fit form would name another file.
        const bool whole = bytes && !bytes->empty() && !(bytes->size() == 1 && IsLeadByte(bytes->front()));
        if (whole && DecodeCodePage(*bytes) == one) {
            out += *bytes;
        } else {
            out += kMark;
        }
    }
    return out;
}

std::string NameFromCodePage(std::string_view codePageName) { return CodePageToUtf8(codePageName); }

}  // namespace platform
