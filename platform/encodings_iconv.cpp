// The codecs of the encodings other than code page 932: UTF-8 passes as it
// is, EUC-JP goes through the C library's iconv converter.
#include "platform/code_page.h"

#include "platform/converter.h"

#include <string>

namespace platform {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

}  // namespace

std::optional<std::string> Utf8ToEncoding(const Encoding& encoding, std::string_view utf8, std::size_t* unheld) {
    if (unheld) *unheld = std::string_view::npos;
    const std::optional<std::u32string> text = DecodeUtf8(utf8);
    if (!text) return std::nullopt;
    if (&encoding == &Cp932()) return EncodeCodePage(*text, unheld);
    if (&encoding == &Utf8()) return std::string(utf8);
    // One character at a time, so that the first without a form is known.
    Converter converter("EUC-JP", {"UTF-32LE"});
    std::string out;
    for (std::size_t i = 0; i < text->size(); ++i) {
        const char32_t c = (*text)[i];
        const char bytes[4] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF),
                               static_cast<char>(c >> 16 & 0xFF), static_cast<char>(c >> 24 & 0xFF)};
        if (converter.Convert(std::string_view(bytes, 4), out) != 4) {
            if (unheld) *unheld = i;
            return std::nullopt;
        }
    }
    return out;
}

std::string EncodingToUtf8(const Encoding& encoding, std::string_view bytes) {
    if (&encoding == &Cp932()) return CodePageToUtf8(bytes);
    if (&encoding == &Utf8()) return EncodeUtf8(DecodeUtf8Lossy(bytes));
    Converter converter("UTF-8", {"EUC-JP"});
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (!bytes.empty()) {
        bytes.remove_prefix(converter.Convert(bytes, out));
        if (bytes.empty()) break;
        // A byte that forms no character (or a character cut at the end).
        out += kReplacementUtf8;
        bytes.remove_prefix(1);
    }
    return out;
}

}  // namespace platform
