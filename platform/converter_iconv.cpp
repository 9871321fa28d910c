#include "platform/converter.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

namespace {

iconv_t Invalid() { return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }

char32_t CharacterAt(const unsigned char* utf32le) {
    return static_cast<char32_t>(utf32le[0]) | static_cast<char32_t>(utf32le[1]) << 8 |
           static_cast<char32_t>(utf32le[2]) << 16 | static_cast<char32_t>(utf32le[3]) << 24;
}

}  // namespace

Converter::Converter(const char* to, std::initializer_list<const char*> from) : cd_(nullptr) {
    for (const char* name : from) {
        const iconv_t cd = iconv_open(to, name);
        if (cd != Invalid()) {
            cd_ = cd;
            return;
        }
    }
    throw std::runtime_error(std::string("the C library has no converter from ") + *from.begin() + " to " + to);
}

Converter::~Converter() { iconv_close(static_cast<iconv_t>(cd_)); }

std::size_t Converter::Convert(std::string_view in, std::string& out) {
    const auto cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    while (inLeft > 0) {
        char buffer[4096];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) break;
    }
    return in.size() - inLeft;
}

char32_t Converter::One(const unsigned char* bytes, std::size_t size, char32_t none) {
    const auto cd = static_cast<iconv_t>(cd_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[8];
    std::memcpy(in, bytes, size);
    char* inPtr = in;
    std::size_t inLeft = size;
    unsigned char out[8];
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
        sizeof out - outLeft != 4) {
        return none;
    }
    return CharacterAt(out);
}

void Converter::Each(const unsigned char* sequences, std::size_t size, std::size_t count, char32_t* out,
                     char32_t none) {
    const auto cd = static_cast<iconv_t>(cd_);
    std::vector<char> in(sequences, sequences + size * count);
    std::vector<unsigned char> converted(4 * count + 16);
    std::size_t next = 0;  // the first sequence not yet settled
    while (next < count) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = in.data() + next * size;
        std::size_t inLeft = (count - next) * size;
        char* outPtr = reinterpret_cast<char*>(converted.data());
        std::size_t outLeft = converted.size();
        const bool failed = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1);
        const auto taken = static_cast<std::size_t>(inPtr - (in.data() + next * size));
        const auto made = static_cast<std::size_t>(outPtr - reinterpret_cast<char*>(converted.data())) / 4;
        // A character a sequence each, or the run is asked again one by one.
        if (taken % size != 0 || made != taken / size) {
            for (; next < count; ++next) out[next] = One(sequences + next * size, size, none);
            return;
        }
        for (std::size_t i = 0; i < made; ++i) out[next + i] = CharacterAt(converted.data() + 4 * i);
        next += made;
        if (failed && next < count) {
            // The converter stopped at a sequence that makes no character.
            out[next] = errno == EILSEQ || errno == EINVAL ? none : One(sequences + next * size, size, none);
            ++next;
        }
    }
}

}  // namespace platform
