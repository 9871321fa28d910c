// The codecs of the encodings other than code page 932: UTF-8 passes as it
// is, EUC-JP goes through the C library's iconv converter.
#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {
namespace {

// One iconv conversion, opened for the object's lifetime.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == Invalid()) throw std::runtime_error(std::string("no converter from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in as far as it can: the bytes it took, its output appended.
    std::size_t Convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            char buffer[4096];
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t done = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (done == static_cast<std::size_t>(-1) && errno != E2BIG) break;
        }
        return in.size() - inLeft;
    }

private:
    static iconv_t Invalid() { return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }
    iconv_t cd_;
};

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

}  // namespace

std::optional<std::string> Utf8ToEncoding(const Encoding& encoding, std::string_view utf8, std::size_t* unheld) {
    if (unheld) *unheld = std::string_view::npos;
    const std::optional<std::u32string> text = DecodeUtf8(utf8);
    if (!text) return std::nullopt;
    if (&encoding == &Cp932()) return EncodeCodePage(*text, unheld);
    if (&encoding == &Utf8()) return std::string(utf8);
    // One character at a time, so that the first without a form is known.
    Converter converter("EUC-JP", "UTF-32LE");
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
    Converter converter("UTF-8", "EUC-JP");
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
